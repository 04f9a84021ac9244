package com.bio;

/**
 * The Java face of the KAVRO Biometria bridge libraries. Loading the class loads
 * one bridge: the library named by the system property "com.bio.library",
 * "fpbridge_nbio" (NITGEN readers) unless set, or "fpbridge_dpfp" (DigitalPersona).
 * The bridges are 64-bit Windows libraries: they load only into a 64-bit JVM.
 *
 * Windows looks for the bridge's own imports, the reader vendor's DLLs, beside
 * java.exe, in the system folders, the current folder and on PATH, not in the
 * bridge's folder: put that folder on PATH before the JVM starts, or load the
 * vendor's DLLs with System.load and their full paths before this class loads.
 *
 * Every method calls the library's FK_ operation of the same name. FK_Capture,
 * FK_VerifyServer and FK_Verify show the capture window and block the calling
 * thread until it closes: call them from a thread of your own, never from the
 * AWT event dispatch thread or another thread that must keep a user interface
 * responsive. The window closed from outside (Alt+F4, a logoff) ends the call as
 * its "Cancelar" button does.
 *
 * The library serves one operation at a time. A call made while another runs is
 * refused at once, in the method's failure form with error 998: "998" from
 * FK_Init, "-1" (NITGEN) or "0" (DigitalPersona) from FK_Close, a text starting
 * with "ERROR" that names the busy reader from FK_Capture and FK_VerifyServer,
 * "0" from FK_Verify, "0" and the busy text from FK_VerifyMatch.
 */
public class BioApplet {
    static {
        System.loadLibrary(System.getProperty("com.bio.library", "fpbridge_nbio"));
    }

    /** Starts the reader SDK: "0" when it is ready, else the SDK's failure code. */
    public native String FK_Init();

    /**
     * Ends what FK_Init started. NITGEN: "0", or "-1" when nothing was started
     * (closeDevice nonzero also closes the reader). DigitalPersona: "1" when the
     * SDK ended cleanly, else "0" (closeDevice is ignored).
     */
    public native String FK_Close(int closeDevice);

    /**
     * Captures a finger in the capture window (DigitalPersona: enrolls it from
     * several samples) and returns its template text, or a text starting with
     * "ERROR" on failure; null when there is no text at all. An empty text is no
     * template either: NITGEN gives one when an FDx conversion failed, and
     * DigitalPersona after "Cancelar".
     */
    public native String FK_Capture();

    /**
     * Captures a live finger and compares it with a stored template text:
     * "1" when they match, else "0". kind: "N" for native text, anything else
     * for packed template text.
     */
    public native String FK_Verify(String kind, String storedTemplate);

    /** A live finger as template text for a server to match, or an "ERROR" text; null when there is none. */
    public native String FK_VerifyServer();

    /**
     * Compares two template texts without the reader: "1" when they match,
     * otherwise "0" followed by the reason (just "0" when the fingers differ).
     */
    public native String FK_VerifyMatch(String tpStored, String FkStored, String tpVerify, String ToVerify);

    /** NITGEN: 2 selects FDx templates, 3 keeps the choice, anything else text FIRs. DigitalPersona: no effect. */
    public native void FK_SetAuthType(int authType);
}
