-- The paw print's glow, round and round.
function DoAnim()
    delay(90);
    while true do
        frames{1,2,3,4,5,6,7,8};
    end
end
