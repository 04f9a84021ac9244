/* The command entry of fpbridge_nbio.dll: enroll a finger, then match it
 * against two candidates with one command line each.
 *
 *   x86_64-w64-mingw32-gcc -std=c99 -I../include exec_command.c ../lib/libfpbridge_nbio.dll.a -o exec_command.exe
 *   cl /I..\include exec_command.c ..\lib\fpbridge_nbio.lib
 *
 * Run it beside fpbridge_nbio.dll and the NITGEN SDK's NBioBSP.dll. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "fpbridge_nbio_api.h"

/* The longest result is a capture text; the library writes no NUL after a
 * result, so one byte more keeps room for ours. */
#define RESULT_ROOM (FPBRIDGE_TEMPLATE_TEXT_MAX + 1)

/* Runs one command line, prints its outcome, and leaves the result text in
 * `result` (NUL-terminated here). */
static int32_t Run(const char* title, char* line, char* result) {
    int32_t length = -1;
    const int32_t returned = ExecInClientDLL(0, line, 0, result, &length);
    result[length >= 0 ? length : 0] = '\0';
    printf("%s: return %d, length %d, result \"%.60s%s\"\n", title, (int)returned, (int)length, result,
           length > 60 ? "..." : "");
    return returned;
}

int main(void) {
    static char stored[RESULT_ROOM], first[RESULT_ROOM], second[RESULT_ROOM], result[RESULT_ROOM];
    /* Room for the longest line: ten pairs of the longest templates. */
    static char line[FPBRIDGE_COMMAND_LINE_ROOM];

    /* Three captures: the stored template and two candidates. */
    strcpy(line, "ENROLL");
    Run("ENROLL", line, stored);
    strcpy(line, "CAPTURAR");
    Run("CAPTURAR", line, first);
    strcpy(line, "CAPTURAR");
    Run("CAPTURAR", line, second);

    /* MATCH, then pair 0 (kind marker "Z": packed template text, and the
     * stored text), then one pair per candidate, each field after a 0x01. */
    snprintf(line, sizeof line, "MATCH\001Z\001%s\001Z\001%s\001Z\001%s", stored, first, second);
    Run("MATCH", line, result);
    /* "1" and the matching candidate's number, or "00" and the reason. */
    if (result[0] == '1')
        printf("candidate %c is the stored finger\n", result[1]);
    else
        printf("no candidate matches%s%s\n", result[2] ? ": " : "", result + 2);

    /* MATCH without a candidate pair is refused. */
    strcpy(line, "MATCH");
    return Run("MATCH alone", line, result) == -1 ? 0 : 1;
}
