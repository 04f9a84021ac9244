/* The C calls of fpbridge_nbio.dll: capture a finger twice, then compare the
 * two templates without the reader.
 *
 *   x86_64-w64-mingw32-gcc -std=c99 -I../include fk_calls.c ../lib/libfpbridge_nbio.dll.a -o fk_calls.exe
 *   cl /I..\include fk_calls.c ..\lib\fpbridge_nbio.lib
 *
 * Run it beside fpbridge_nbio.dll and the NITGEN SDK's NBioBSP.dll. */
#include <stdio.h>
#include <string.h>

#include "fpbridge_nbio_api.h"

/* A capture text is a template unless it is empty or says what failed. */
static int IsTemplate(const char* text) {
    return text && text[0] != '\0' && strncmp(text, "ERROR", 5) != 0;
}

/* The library's texts are ours, failure texts too: FK_FreeText releases them
 * whatever C runtime this program uses. */
static int CaptureFailed(char* text) {
    if (IsTemplate(text)) return 0;
    printf("capture failed: %s\n", text ? text : "(no text)");
    FK_FreeText(text);
    return 1;
}

int main(void) {
    /* Each capture shows the "KAVRO - Biometria" window until a finger is read
     * or the reader's time-out ends it. */
    char* stored = FK_Capture(NULL, 1);
    if (CaptureFailed(stored)) return 1;
    char* live = FK_Capture(NULL, 1);
    if (CaptureFailed(live)) {
        FK_FreeText(stored);
        return 1;
    }
    printf("captured two templates of %u and %u characters\n", (unsigned)strlen(stored), (unsigned)strlen(live));

    /* The status record is ours; the library puts its own message buffer into
     * it, which becomes ours to release. */
    BioStatus status;
    memset(&status, 0, sizeof status);
    const int32_t matched = FK_VerifyMatch("Z", stored, "Z", live, &status);
    printf("FK_VerifyMatch = %d (success %d, matched %d, error %d, message \"%s\")\n", (int)matched,
           (int)status.success, (int)status.matched, (int)status.error, status.message ? status.message : "");

    FK_FreeText(status.message);
    FK_FreeText(live);
    FK_FreeText(stored);
    return 0;
}
