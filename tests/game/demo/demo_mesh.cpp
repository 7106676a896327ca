#include "game/demo/demo_mesh.h"

#include "core/files/file.h"
#include "core/files/flat_file.h"
#include "game/demo/demo_run.h"

tMesh BuiltMesh(const std::string& base)
{
    TFile::ShutDownFileSystem();
    TFlatFile::mFlatFiles.clear();
    TFile::mUserDir = TFile::mCommonDir = TFile::mDesktopDir = "";
    TFile::mResourceDir = BuildRoot().c_str();
    TFile::ScanForResources();
    tMesh mesh;
    mesh.LoadVertlist((base + ".dverts").c_str());
    mesh.LoadPolylist((base + ".dmesh").c_str());
    return mesh;
}
