#pragma once
// One triangle mesh read from a ".mesh" file, shared through the asset manager by file name.
// The data is kept for 3-D drawing; the model draws nothing itself.
//   auto rock = TModel::Get("meshes/rock.mesh");
//   if (rock) for (int i = 0; i < rock->GetMesh()->indexCount; ++i) ...

#include "core/files/asset.h"
#include "core/math/vec.h"
#include "core/text/str.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TModelVertex
{
    TVec3 position;
    TVec3 normal;
    TVec2 uv;
};

struct TMeshData
{
    std::vector<TModelVertex> vertices;
    int vertexCount = 0;
    std::vector<uint16_t> indices;
    int indexCount = 0;
    str fileName;
};

class TModel : public TAsset
{
    TV_ASSET_CLASS(TModel, TAsset)

public:
    static std::shared_ptr<TModel> Get(const str& name);
    // Registers the ".mesh" loader of the asset list.
    static void RegisterAssetLoaders();

    // The mesh lives in main memory: nothing to give up.
    void Release() override {}
    void Restore() override;

    bool Init(const char* path);
    // Null when nothing is loaded.
    const TMeshData* GetMesh() const { return mMesh.get(); }

private:
    std::unique_ptr<TMeshData> mMesh;
};
