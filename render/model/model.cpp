#include "render/model/model.h"

#include "core/debug/debug_log.h"
#include "core/files/asset_map.h"
#include "core/files/file_bytes.h"

#include <cstring>

namespace {

constexpr size_t kHeaderBytes = 8;
constexpr size_t kVertexBytes = 16;
constexpr size_t kTriangleBytes = 6;

uint16_t U16At(const std::vector<char>& bytes, size_t at)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1])
                                                                             << 8);
}

float StoredValue(const std::vector<char>& bytes, size_t at)
{
    return static_cast<float>(static_cast<int16_t>(U16At(bytes, at)) / 1000.0);
}

}  // namespace

std::shared_ptr<TModel> TModel::Get(const str& name)
{
    TAssetManager* manager = TAssetManager::GetInstance();
    if (manager)
        if (std::shared_ptr<TModel> hit = AssetCast<TModel>(manager->GetAsset(name)))
            return hit;
    auto model = std::make_shared<TModel>();
    if (!model->Init(name.c_str()))
        return nullptr;
    if (manager)
        manager->AddAsset(name, model);
    return model;
}

void TModel::RegisterAssetLoaders()
{
    TAssetLoader loader;
    loader.classId = ClassId();
    loader.load = [](const str& resolved) -> std::shared_ptr<TAsset> { return Get(resolved); };
    TAssetMap::RegisterLoader("mesh", loader);
}

void TModel::Restore()
{
    if (mMesh) {
        const str name = mMesh->fileName;
        Init(name.c_str());
    }
}

bool TModel::Init(const char* path)
{
    mMesh.reset();
    if (!path || !std::strstr(path, ".mesh"))
        return false;
    std::vector<char> bytes;
    if (!TFile::Exists(path) || !ReadFileBytes(path, kFileRead, bytes)) {
        WriteDbg("TModel::Init: Failed to load %s", path);
        return false;
    }
    auto mesh = std::make_unique<TMeshData>();
    if (bytes.size() < 4 || std::memcmp(bytes.data(), "TRIS", 4) != 0) {
        mMesh = std::move(mesh);
        return false;
    }
    if (bytes.size() < kHeaderBytes) {
        WriteDbg("TModel::Init: %s is damaged: header cut short", path);
        return false;
    }
    const size_t vertexCount = U16At(bytes, 4);
    const size_t triangleCount = U16At(bytes, 6);
    const size_t needed = kHeaderBytes + vertexCount * kVertexBytes + triangleCount * kTriangleBytes;
    if (bytes.size() < needed) {
        WriteDbg("TModel::Init: %s is damaged: %zu bytes where its counts need %zu", path, bytes.size(), needed);
        return false;
    }
    mesh->vertices.resize(vertexCount);
    size_t at = kHeaderBytes;
    for (TModelVertex& v : mesh->vertices) {
        float values[8];
        for (float& value : values) {
            value = StoredValue(bytes, at);
            at += 2;
        }
        v.position = TVec3(values[0], values[1], values[2]);
        v.normal = TVec3(values[3], values[4], values[5]);
        v.uv = TVec2(values[6], values[7]);
    }
    mesh->indices.resize(triangleCount * 3);
    for (uint16_t& index : mesh->indices) {
        index = U16At(bytes, at);
        at += 2;
        if (index >= vertexCount) {
            WriteDbg("TModel::Init: %s is damaged: vertex index %u of %zu vertices", path, index, vertexCount);
            return false;
        }
    }
    mesh->vertexCount = static_cast<int>(vertexCount);
    mesh->indexCount = static_cast<int>(triangleCount * 3);
    mesh->fileName = path;
    mMesh = std::move(mesh);
    return true;
}
