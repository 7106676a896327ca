#pragma once
// Picks a decoder for a sound name by its extension, or by the first registered extension
// under which a file of that name exists ("ogg" before "spx").

#include <map>
#include <memory>

#include "core/text/str.h"
#include "sound/sources/sound_data_source.h"

class TSoundDataSourceFactory
{
public:
    // Sets the builder for an extension (without the dot); builders are not owned.
    static void Register(const str& ext, TSoundDataSourceBuilder* builder);
    static std::shared_ptr<TSoundDataSource> Create(const str& name, bool direct);
    // The extension `name` names explicitly: the text after the first "." at index 4 or
    // later; empty when there is none.
    static str ExtensionOf(const str& name);

private:
    static std::map<str, TSoundDataSourceBuilder*>& Builders();
};
