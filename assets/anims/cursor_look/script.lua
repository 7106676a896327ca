-- Looks round and round.
function DoAnim()
    delay(100);
    while true do
        frames{1,2,3,4,5};
    end
end
