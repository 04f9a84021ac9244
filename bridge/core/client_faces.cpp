#include "client_faces.h"

namespace {
const ClientFaceTraits* g_faces = nullptr;
}

void InstallClientFaces(const ClientFaceTraits* traits) {
    g_faces = traits;
}

const ClientFaceTraits* InstalledClientFaces() {
    return g_faces;
}
