/* A client of fpbridge_dpfp.dll's C header and import libraries: the reader's
 * serial and a command line. */
#include <stdio.h>
#include <string.h>

#include "fpbridge_dpfp_api.h"

int main(void) {
    char serial[FPBRIDGE_DEVICE_SERIAL_SIZE + 1] = {0};
    const int32_t found = FK_DeviceSerial(serial);
    char line[] = "MATCH";
    char result[64];
    int32_t length = -1;
    const int32_t refused = ExecInClientDLL(0, line, 0, result, &length);
    printf("FK_DeviceSerial = %d \"%s\"; MATCH = %d \"%.*s\"\n", (int)found, serial, (int)refused, (int)length,
           result);
    return 0;
}
