#include "game/demo/demo_hops.h"

#include <sstream>

void AddHoppers(const TDataCopy& data, int ticksPerHop)
{
    for (int i = 0; i < 4; ++i) {
        const std::string scene = kHopScenes[i];
        const std::string next = kHopScenes[(i + 1) % 4];
        data.Append("quest/" + scene + "/" + scene + ".lua",
                    "\ntable.insert(scene_spec.actorlist, {\n"
                    "    name = \"HOPPER\",\n"
                    "    command = function(self)\n"
                    "        coroutine.yield(RESUME.ON_DELAY, " +
                        std::to_string(ticksPerHop) +
                        ")\n"
                        "        local n = game:Get(\"hops\") + 1\n"
                        "        game:Set(\"hops\", n)\n"
                        "        quest:AddQuest(\"hop\", \"\", \"\", tostring(n))\n"
                        "        game:TaskComplete(\"hop \" .. n .. \" to " +
                        next +
                        "\")\n"
                        "        scene:ChainTo(\"" +
                        next +
                        "\")\n"
                        "    end,\n"
                        "})\n");
    }
}

std::string HopLine(int n)
{
    return "MET_TaskEvent(scripted-task, hop " + std::to_string(n) + " to ";
}

TDumpedSlot ReadDumpedSlot(const std::string& dump, int user)
{
    TDumpedSlot slot;
    const std::string header = "  slot " + std::to_string(user + 1) + " ";
    std::istringstream in(dump);
    bool inside = false;
    slot.whole = dump.rfind("file ", 0) == 0;
    for (std::string line; std::getline(in, line);) {
        if (line.find("damaged") != std::string::npos)
            slot.whole = false;
        if (line.rfind("  slot ", 0) == 0)
            inside = line.rfind(header, 0) == 0;
        else if (inside && line.rfind("    ", 0) == 0) {
            const size_t eq = line.find(" = ");
            if (eq != std::string::npos)
                slot.values[line.substr(4, eq - 4)] = line.substr(eq + 3);
            else if (line.back() == '=')
                slot.values[line.substr(4, line.size() - 6)] = "";
        }
    }
    return slot;
}

namespace {

// The value stored with `field` beside the list entry whose "key" is `name`; the list ends at
// its first empty key.
std::string ListValue(const TDumpedSlot& slot, const std::string& prefix, const std::string& separator,
                      const std::string& name, const std::string& field, bool* found)
{
    *found = false;
    for (int i = 0;; ++i) {
        const std::string entry = prefix + std::to_string(i) + separator;
        const auto key = slot.values.find(entry + "key");
        if (key == slot.values.end() || key->second.empty())
            return std::string();
        if (key->second == name) {
            *found = true;
            const auto value = slot.values.find(entry + field);
            return value == slot.values.end() ? std::string() : value->second;
        }
    }
}

}  // namespace

THopSave ReadHopSave(const TDumpedSlot& slot)
{
    THopSave save;
    const auto scene = slot.values.find("S0:SCENE");
    save.present = scene != slot.values.end() && !scene->second.empty();
    if (!save.present)
        return save;
    save.scene = scene->second;
    const auto last = slot.values.find("S0:LASTSCENE");
    save.lastScene = last == slot.values.end() ? std::string() : last->second;
    bool found = false;
    const std::string hops = ListValue(slot, "V:S0:I", ":", "hops", "value", &found);
    save.hops = found ? std::stoi(hops) : 0;
    save.questHops = ListValue(slot, "Q:S0:I", "", "hop", "anim", &found);
    return save;
}
