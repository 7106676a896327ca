// Reads the input as a ".mesh" model; a model that loads must index only its own vertices.

#include <cstddef>
#include <cstdint>

#include "core/files/file.h"
#include "render/model/model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TFile::AddMemoryFile("fuzz/input.mesh", data, static_cast<unsigned>(size));
    TModel model;
    if (model.Init("fuzz/input.mesh")) {
        const TMeshData* mesh = model.GetMesh();
        if (!mesh || mesh->indexCount != static_cast<int>(mesh->indices.size()))
            __builtin_trap();
        for (uint16_t index : mesh->indices)
            if (index >= mesh->vertices.size())
                __builtin_trap();
    }
    TFile::AddMemoryFile("fuzz/input.mesh", nullptr, 0);
    return 0;
}
