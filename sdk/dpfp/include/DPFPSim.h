/* Control interface of the simulated DigitalPersona reader. The reader lives in
 * dpfpsim.dll, behind our stand-ins DPFPApi.dll, dpHFtrEx.dll and dpHMatch.dll;
 * the vendor's libraries have nothing like it. Tests call it in-process; other
 * processes (the demo) script the reader through the environment variable
 * DPFPSIM_SCRIPT, read at the first call into any of the libraries and by
 * DPFPSim_Reset.
 *
 * A script is a list of "key=value" items separated by ';' (blanks ignored).
 * Numbers are decimal (a leading '-' allowed) or hexadecimal after "0x".
 * A comma list R1,R2,... is used one value per call; its last value then stays.
 *
 * Results of the SDK functions (0 = success unless said otherwise):
 *   init=R        DPFPInit (1: an earlier initialisation is still active)
 *   enumerate=R   DPFPEnumerateDevices      deviceinfo=R  DPFPGetDeviceInfo
 *   create=R      DPFPCreateAcquisition     start=R       DPFPStartAcquisition
 *   bitmap=R      DPFPConvertSampleToBitmap (negative: failure)
 *   fxinit=R  fxterm=R  mcinit=R  mcterm=R  FX_init, FX_terminate, MC_init, MC_terminate
 *                 (a failing terminate still ends its module)
 *   fxlen=R       FX_getFeaturesLen         mclen=R       MC_getFeaturesLen
 *   extract=R     FX_extractFeatures        generate=R    MC_generateRegFeatures
 *   verify=R      MC_verifyFeaturesEx; a failure still writes the decision the
 *                 comparison came to (1 for two sets of one finger)
 *   created=F1,F2,...  the "created" flag of successive FX_extractFeatures calls
 *                 (0: that sample makes no feature set; default 1)
 * Sizes and settings:
 *   needed=N      feature sets per template that MC_getSettings announces (default 4)
 *   prereglen=N  reglen=N  verifylen=N
 *                 sizes of a pre-registration set, a registration template and a
 *                 verification set that the *_getFeaturesLen functions report
 *   devices=S1,S2,...  serial numbers of the attached readers, in enumeration
 *                 order ("devices=" for none; default one reader)
 * The reader:
 *   finger=F1,F2,...   finger on the reader for successive samples (1..10; default 1)
 *   events=E1,E2,...   what each acquisition posts after DPFPStartAcquisition, in
 *                 order, each "name[:argument][@milliseconds]" (the delay before
 *                 that event, default `delay`): touch (5), sample (0, a sample of
 *                 the next finger), nodata (0 without sample data), gone (6),
 *                 ready (7), error:CODE (1), disconnect (2), connect (3), stop (10),
 *                 kind:N (kind N, lParam 0), cancel (the user presses the window's
 *                 Cancel button: WM_COMMAND with IDCANCEL, not an SDK event).
 *                 After the last event the list starts over, unless the last item
 *                 is "hold": then nothing more is posted.
 *                 The first items may be "name[:argument]@now", with no pause at
 *                 all: DPFPStartAcquisition itself hands them to the window and
 *                 returns only once the window has taken them; they are not
 *                 posted again when the list starts over.
 *                 Default: touch,sample,gone
 *   delay=MS      default pause before each event (default 10); a list that repeats
 *                 without any pause posts as fast as the window takes the events
 *   session=N     numbers a run: samples of one finger in runs of different
 *                 numbers differ in their bytes (default 0)
 * Feature sets and templates of one finger match each other, never those of
 * another finger. Unknown keys or malformed values make DPFPSim_Configure
 * return -1 and change nothing. A malformed DPFPSIM_SCRIPT is told on standard
 * error, and DPFPInit then fails with 0x8000FFFF, FX_init and MC_init with -8:
 * a typo never passes for a reader.
 *
 * Besides its scripted results the reader refuses what it cannot use, never
 * reading or writing past the sizes it is given:
 *   DPFPApi.dll  0x80004003 a null pointer; 0x80070015 no DPFPInit session;
 *                0x80070057 an unknown acquisition handle, a null window, or
 *                sample data that is not a whole sample of this reader;
 *                0x80070037 a reader identifier it did not list, or an
 *                acquisition of any reader when none is attached;
 *                0x8007007A a bitmap buffer smaller than the size it reports;
 *                0x800700AA an acquisition started twice;
 *                0x8000FFFF an internal failure (out of memory).
 *   dpHFtrEx.dll, dpHMatch.dll  1 a context asked for before FX_init / MC_init;
 *                -2 a null pointer, a count or size out of reason, a display
 *                image not between 1 and 4096 on each side; -8 an internal
 *                failure; -11 data that is not a whole feature set, template or
 *                sample of the right kind, or sets of different fingers; -16 a
 *                feature set or template size below 64 bytes; -17 an unknown or
 *                closed context; -29 a purpose the function does not make.
 * A feature set or template is at least 64 and at most 1 MiB long; the sizes
 * scripted above are reported as they are, so a caller must cope with any.
 * FX_getDisplayImage, which gets no size with the sample data, draws only
 * samples that the reader handed out and still holds (until DPFPTerm). */
#ifndef DPFPSIM_H
#define DPFPSIM_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && !defined(DPFPSIM_BUILDING)
#define DPFPSIM_IMPORT __declspec(dllimport)
#elif defined(_WIN32)
#define DPFPSIM_IMPORT __declspec(dllexport)
#else
#define DPFPSIM_IMPORT
#endif

/* What is live now: every value is 0 once each DPFPInit, FX_init and MC_init
 * has met its end call and every context is closed. */
typedef struct DPFPSimCounters {
    int32_t readerSessions;   /* 1 between DPFPInit and DPFPTerm */
    int32_t fxSessions;       /* 1 between a successful FX_init and FX_terminate */
    int32_t mcSessions;       /* 1 between a successful MC_init and MC_terminate */
    int32_t fxContexts;       /* FX_createContext without FX_closeContext */
    int32_t mcContexts;       /* MC_createContext without MC_closeContext */
    int32_t acquisitions;     /* acquisitions created and not yet ended by DPFPTerm */
    int32_t runningThreads;   /* acquisition threads not yet joined */
    int32_t blocks;           /* samples and device lists handed out, reclaimed by DPFPTerm */
} DPFPSimCounters;

/* Arguments of the latest calls, to check what a caller hands the SDK. */
typedef struct DPFPSimLastCall {
    /* DPFPCreateAcquisition */
    int32_t acquisitionPriority;
    uint32_t acquisitionDataTypes;
    uint32_t acquisitionMessage;
    int32_t acquisitionAnyReader; /* 1 when the reader identifier was all zero */
    void* acquisitionWindow;
    /* FX_getDisplayImage */
    int32_t displaySize[2];
    int32_t displayOrientation;
    int32_t displayColours;
    /* FX_extractFeatures */
    int32_t extractPurpose;
    int32_t extractSize;
    /* MC_generateRegFeatures */
    int32_t generateCount;
    int32_t generateSetSize;
    int32_t generateTemplateSize;
    /* MC_verifyFeaturesEx: sizes, the constants as passed, and the fingers of
     * the template and the feature set (0: not readable as either) */
    int32_t verifyTemplateSize;
    int32_t verifyFeatureSetSize;
    int32_t verifyReserved;
    int32_t verifyOptions;
    int32_t verifySecurityLevel;
    double verifyScore;
    int32_t verifyFingers[2];
} DPFPSimLastCall;

/* Applies a script on top of the current settings; 0, or -1 when malformed. */
DPFPSIM_IMPORT int32_t DPFPSim_Configure(const char* script);
/* Default settings, then DPFPSIM_SCRIPT when set; ends every acquisition (as
 * DPFPTerm), frees everything handed out, and sets counters, call counts and
 * the finger sequence back to their start. */
DPFPSIM_IMPORT void DPFPSim_Reset(void);
DPFPSIM_IMPORT void DPFPSim_GetCounters(DPFPSimCounters* counters);
/* Number of calls of an SDK function (by its full name, e.g. "FX_init") since
 * the last reset. */
DPFPSIM_IMPORT int32_t DPFPSim_CallCount(const char* functionName);
DPFPSIM_IMPORT void DPFPSim_GetLastCall(DPFPSimLastCall* last);

/* A registration template (`registration` nonzero, the size `reglen` gives) or
 * a verification feature set (the size `verifylen` gives) of `finger`, made
 * without the reader, as a stored template of a client would be: written to
 * `out` when it holds the size, which is returned (0 for a finger outside 1..10
 * or a scripted size that cannot hold a set). The bytes are printable
 * characters and no terminating zero is written, so the result also serves as
 * native text once the caller terminates it. */
DPFPSIM_IMPORT int32_t DPFPSim_MakeFeatures(int32_t finger, int32_t registration, uint8_t* out, int32_t outSize);

#ifdef __cplusplus
}
#endif

#endif
