// What the client faces of a bridge library (the JNI natives of com.bio.BioApplet
// and ExecInClientDLL) need of the library they are linked into. The faces live
// in the core, which links into both libraries and knows neither; so each
// bridge hands its operations over as a table, and the faces reach them only
// through it.
#pragma once

#include <cstdint>

#include "bio_status.h"

struct BridgeOperations {
    // FK_Init with `mode` and a fresh, zeroed task of the bridge's own type
    // that reports into `status`; the task is gone when this returns.
    int32_t (*initWithFreshTask)(uint8_t mode, BioStatus* status);
    // FK_Close; a bridge whose FK_Close takes no flag ignores it.
    int32_t (*close)(int32_t flag);
    void (*setAuthType)(int32_t type);
    // The texts these two return are the caller's, to free with free().
    char* (*capture)(const char* input, int32_t mode);
    char* (*verifyServer)();
    int32_t (*verify)(const char* kind, const char* stored);
    int32_t (*verifyMatch)(const char* tpStored, const char* FkStored, const char* tpVerify, const char* ToVerify,
                           BioStatus* status);
};

struct ClientFaceTraits {
    BridgeOperations operations;
    // Whether the JNI natives write their "Begin", "End" and Java version
    // records to the operation log; one bridge's natives write none.
    bool nativeRecords;
};

// Called once when the library is loaded, before any face can be called;
// `traits` must outlive the library.
void InstallClientFaces(const ClientFaceTraits* traits);
// The installed traits, or null before InstallClientFaces.
const ClientFaceTraits* InstalledClientFaces();
