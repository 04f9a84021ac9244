/* A client of fpbridge_dpfp.dll's C header and import libraries: the reader's
 * serial, a comparison whose message buffer the library hands over, and a
 * command line. */
#include <stdio.h>
#include <string.h>

#include "fpbridge_dpfp_api.h"

int main(void) {
    char serial[FPBRIDGE_DEVICE_SERIAL_SIZE + 1] = {0};
    const int32_t found = FK_DeviceSerial(serial);
    BioStatus status;
    memset(&status, 0, sizeof status);
    const int32_t matched = FK_VerifyMatch("Z", "", "Z", "", &status);
    printf("FK_DeviceSerial = %d \"%s\"; FK_VerifyMatch = %d %d \"%s\"; ", (int)found, serial, (int)matched,
           (int)status.error, status.message ? status.message : "(no buffer)");
    FK_FreeText(status.message);
    char line[] = "MATCH";
    char result[64];
    int32_t length = -1;
    const int32_t refused = ExecInClientDLL(0, line, 0, result, &length);
    printf("MATCH = %d \"%.*s\"\n", (int)refused, (int)length, result);
    return 0;
}
