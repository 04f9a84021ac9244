/* The C calls of fpbridge_dpfp.dll: enroll a finger, then verify a live finger
 * against the enrolled template.
 *
 *   x86_64-w64-mingw32-gcc -std=c99 -I../include enroll_verify.c ../lib/libfpbridge_dpfp.dll.a -o enroll_verify.exe
 *   cl /I..\include enroll_verify.c ..\lib\fpbridge_dpfp.lib
 *
 * Run it beside fpbridge_dpfp.dll and the DigitalPersona SDK's DPFPApi.dll,
 * dpHFtrEx.dll and dpHMatch.dll (or the kit's test reader). */
#include <stdio.h>
#include <string.h>

#include "fpbridge_dpfp_api.h"

int main(void) {
    /* The "KAVRO - Biometria" window asks for as many samples as the SDK
     * wants; "" means the user cancelled, "ERROR ..." what failed. */
    char* enrolled = FK_Capture(NULL, 1);
    if (!enrolled || enrolled[0] == '\0' || strncmp(enrolled, "ERROR", 5) == 0) {
        printf("FK_Capture failed: \"%s\"\n", enrolled ? enrolled : "(no text)");
        FK_FreeText(enrolled);
        return 1;
    }
    printf("FK_Capture: a template of %u characters\n", (unsigned)strlen(enrolled));

    /* One more window: a live finger, compared at once with the template. */
    const int32_t verified = FK_Verify("Z", enrolled);
    printf("FK_Verify = %d\n", (int)verified);

    FK_FreeText(enrolled);
    return 0;
}
