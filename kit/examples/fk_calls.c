/* The C calls of fpbridge_nbio.dll: capture a finger twice, then compare the
 * two templates without the reader.
 *
 *   x86_64-w64-mingw32-gcc -std=c99 -I../include fk_calls.c ../lib/libfpbridge_nbio.dll.a -o fk_calls.exe
 *   cl /I..\include fk_calls.c ..\lib\fpbridge_nbio.lib
 *
 * Run it beside fpbridge_nbio.dll and the NITGEN SDK's NBioBSP.dll. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "fpbridge_nbio_api.h"

/* A capture text is a template unless it is empty or says what failed. */
static int IsTemplate(const char* text) {
    return text && text[0] != '\0' && strncmp(text, "ERROR", 5) != 0;
}

int main(void) {
    /* Each capture shows the "KAVRO - Biometria" window until a finger is read. */
    char* stored = FK_Capture(NULL, 1);
    char* live = FK_Capture(NULL, 1);
    if (!IsTemplate(stored) || !IsTemplate(live)) {
        printf("capture failed: %s\n",
               IsTemplate(stored) ? (live ? live : "(no text)") : (stored ? stored : "(no text)"));
        free(stored); /* the library's texts are ours to free, also failure texts */
        free(live);
        return 1;
    }
    printf("captured two templates of %u and %u characters\n", (unsigned)strlen(stored), (unsigned)strlen(live));

    /* The status record and its message buffer are ours: allocated zeroed,
     * filled by the library, freed by us. */
    BioStatus status;
    memset(&status, 0, sizeof status);
    status.message = calloc(FPBRIDGE_MESSAGE_SIZE, 1);
    if (!status.message) return 1;
    const int32_t matched = FK_VerifyMatch("Z", stored, "Z", live, &status);
    printf("FK_VerifyMatch = %d (success %d, matched %d, error %d, message \"%s\")\n", (int)matched,
           (int)status.success, (int)status.matched, (int)status.error, status.message);

    free(status.message);
    free(live);
    free(stored);
    return 0;
}
