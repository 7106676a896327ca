#include "sound/sources/sound_data_source_factory.h"

#include "core/files/file.h"

std::map<str, TSoundDataSourceBuilder*>& TSoundDataSourceFactory::Builders()
{
    // Builders register during static initialisation of other files: build the map on first use.
    static std::map<str, TSoundDataSourceBuilder*> builders;
    return builders;
}

void TSoundDataSourceFactory::Register(const str& ext, TSoundDataSourceBuilder* builder)
{
    Builders()[ext] = builder;
}

str TSoundDataSourceFactory::ExtensionOf(const str& name)
{
    // A dot in the first four characters belongs to a relative prefix such as "../".
    if (name.length() <= 4)
        return str();
    unsigned dot = name.find('.', 0, 4);
    if (dot == str::npos)
        return str();
    return name.substr(dot + 1);
}

std::shared_ptr<TSoundDataSource> TSoundDataSourceFactory::Create(const str& name, bool direct)
{
    auto& builders = Builders();
    str ext = ExtensionOf(name);
    if (!ext.empty()) {
        auto it = builders.find(ext);
        if (it != builders.end() && it->second)
            return it->second->Create(name, direct);
    }
    for (auto& [candidate, builder] : builders) {
        if (builder && TFile::Exists(name + "." + candidate))
            return builder->Create(name, direct);
    }
    return nullptr;
}
