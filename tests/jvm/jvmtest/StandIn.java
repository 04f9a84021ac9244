package jvmtest;

/** The scripted stand-in of a bridge's operations behind the natives under test. */
final class StandIn {
    private StandIn() {}

    /** Sets what an operation does: init, close, verify, match (numbers), capture, server, message (texts; "null" for none). */
    static native void set(String key, String value);

    /** The operations called since the last look, one per line, with their arguments. */
    static native String calls();

    /** The natives' log records since the last look, one per line: "function: message". */
    static native String records();
}
