package jvmtest;

import com.bio.BioApplet;
import java.util.Objects;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/**
 * Calls the seven natives of com.bio.BioApplet in a real JVM, bound by their
 * JNI names in the library that the property "com.bio.library" names, over the
 * stand-in operations of StandIn. Prints one line per check; exits 1 when one
 * fails.
 */
public final class BioAppletCheck {
    private static int failures = 0;

    private BioAppletCheck() {}

    private static String shown(Object value) {
        return value == null ? "null" : "\"" + value.toString().replace("\n", "\\n") + "\"";
    }

    private static void check(String what, Object actual, Object expected) {
        final boolean same = Objects.equals(actual, expected);
        if (!same) failures++;
        System.out.println((same ? "ok   " : "FAIL ") + what + ": " + shown(actual)
                + (same ? "" : ", expected " + shown(expected)));
    }

    private static void checkCalls(String what, String expected) {
        check(what + " called", StandIn.calls(), expected);
    }

    public static void main(String[] args) {
        final BioApplet applet = new BioApplet();
        final String fresh = "status 0,false,false,0,zeroed";

        StandIn.set("init", "0");
        check("FK_Init", applet.FK_Init(), "0");
        checkCalls("FK_Init", "FK_Init(1) " + fresh + "\n");
        StandIn.set("init", "-7");
        check("FK_Init failing", applet.FK_Init(), "-7");
        StandIn.calls();

        StandIn.set("close", "-1");
        check("FK_Close", applet.FK_Close(7), "-1");
        checkCalls("FK_Close", "FK_Close(7)\n");

        StandIn.set("capture", "AAAA+/==");
        check("FK_Capture", applet.FK_Capture(), "AAAA+/==");
        checkCalls("FK_Capture", "FK_Capture(<null>,1)\n");
        StandIn.set("capture", "null");
        check("FK_Capture without text", applet.FK_Capture(), null);
        StandIn.calls();

        StandIn.set("server", "ERROR - 999");
        check("FK_VerifyServer", applet.FK_VerifyServer(), "ERROR - 999");
        StandIn.set("server", "null");
        check("FK_VerifyServer without text", applet.FK_VerifyServer(), null);
        checkCalls("FK_VerifyServer", "FK_VerifyServer()\nFK_VerifyServer()\n");

        StandIn.set("verify", "1");
        check("FK_Verify", applet.FK_Verify("N", "stored text"), "1");
        StandIn.set("verify", "0");
        check("FK_Verify without kind", applet.FK_Verify(null, "stored text"), "0");
        checkCalls("FK_Verify", "FK_Verify(N,stored text)\nFK_Verify(<null>,stored text)\n");

        StandIn.set("match", "1");
        StandIn.set("message", "ignored when matched");
        check("FK_VerifyMatch matching", applet.FK_VerifyMatch("Z", "s", "N", "v"), "1");
        checkCalls("FK_VerifyMatch", "FK_VerifyMatch(Z,s,N,v) " + fresh + "\n");
        StandIn.set("match", "0");
        StandIn.set("message", "");
        check("FK_VerifyMatch not matching", applet.FK_VerifyMatch("Z", "s", "Z", "v"), "0");
        StandIn.set("message", "ERROR - FK_VerifyMatch - Invalid Parameter - 7");
        check("FK_VerifyMatch failing", applet.FK_VerifyMatch("Z", "s", null, null),
                "0ERROR - FK_VerifyMatch - Invalid Parameter - 7");
        checkCalls("FK_VerifyMatch with nulls",
                "FK_VerifyMatch(Z,s,Z,v) " + fresh + "\nFK_VerifyMatch(Z,s,<null>,<null>) " + fresh + "\n");

        applet.FK_SetAuthType(2);
        checkCalls("FK_SetAuthType", "FK_SetAuthType(2)\n");

        // The records name each native; the JVM's own JNI version appears in
        // FK_Init's record and, unlisted as it is, in FK_Capture's.
        StandIn.records();
        applet.FK_Init();
        applet.FK_Capture();
        final String records = StandIn.records();
        final Matcher matcher = Pattern.compile("Java_com_bio_BioApplet_FK_1Init: Begin\n"
                + "Java_com_bio_BioApplet_FK_1Init: Java Version = (\\d+)\n"
                + "Java_com_bio_BioApplet_FK_1Init: End\n"
                + "Java_com_bio_BioApplet_FK_1Capture: Begin\n"
                + "Java_com_bio_BioApplet_FK_1Capture: Java Version=(\\d+)\n"
                + "Java_com_bio_BioApplet_FK_1Capture: End\n").matcher(records);
        check("records of FK_Init and FK_Capture", matcher.matches(), true);
        if (matcher.matches()) check("JNI version in both records", matcher.group(2), matcher.group(1));

        if (failures > 0) {
            System.out.println(failures + " check(s) failed");
            System.exit(1);
        }
    }
}
