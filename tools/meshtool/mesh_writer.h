#pragma once
// The bytes of the ".dverts" and ".dmesh" files of a parsed source.

#include <string>
#include <vector>

#include "tools/meshtool/mesh_source.h"

std::vector<unsigned char> EncodeVertFile(const TMeshSource& mesh);
std::vector<unsigned char> EncodeMeshFile(const TMeshSource& mesh);
// Writes OUTBASE.dverts and OUTBASE.dmesh, each by safe replacement; false with a message.
bool WriteMeshFiles(const TMeshSource& mesh, const std::string& outBase, std::string* error);
