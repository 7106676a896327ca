#pragma once
// Which animation file plays which named animation: an animation file's script defines one
// global function per animation ("DoWalkSE", "DoStand", ...), and the last file registered
// that defines a name is the one that plays it.

#include "core/text/str.h"

#include <map>
#include <memory>
#include <vector>

class TAnimatedTexture;

class tAnimNames
{
public:
    struct tAnimName
    {
        str name;
        str file;
    };

    // Records every global function that `script` defines as an animation of `file`. The
    // script runs in a bare state of its own (no libraries, no game globals), so only its
    // definitions count. False, with a log line, when it does not run.
    bool Register(const str& file, const str& script);
    // Holds the file's pictures while it is registered: playing one of its animations then
    // takes them from the asset cache rather than decoding them again.
    void Keep(const str& file, std::shared_ptr<TAnimatedTexture> texture);
    // Forgets every animation of `file`.
    void Unregister(const str& file);
    // The file that plays `name`, or null.
    const str* FileOf(const str& name) const;
    const std::vector<tAnimName>& GetNames() const { return mNames; }

private:
    std::vector<tAnimName> mNames;
    std::map<str, std::shared_ptr<TAnimatedTexture>> mKept;
};

// Registers the animation file `file` (a scene-resolved name): the script of its animated
// texture names its animations. False, with a log line, when no such animation exists.
bool RegisterAnimFile(tAnimNames& names, const str& file);
