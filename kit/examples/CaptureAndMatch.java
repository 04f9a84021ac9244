import com.bio.BioApplet;

/**
 * The Java face: enroll a finger, take a live one, compare them.
 *
 *   javac -cp ..\java\bioapplet.jar CaptureAndMatch.java
 *   java -cp ..\java\bioapplet.jar;. -Djava.library.path=..\bin CaptureAndMatch
 *
 * Add -Dcom.bio.library=fpbridge_dpfp for DigitalPersona readers. Run a 64-bit
 * JVM, with the bridge's folder on PATH so that Windows finds the reader
 * vendor's DLLs beside it.
 */
public class CaptureAndMatch {
    // A capture text is a template unless it is missing, empty or says what failed.
    static boolean isTemplate(String text) {
        return text != null && !text.isEmpty() && !text.startsWith("ERROR");
    }

    public static void main(String[] args) throws InterruptedException {
        BioApplet bio = new BioApplet(); // loads the library
        String[] captured = new String[2];
        // The captures block their thread while the window is up: a program with
        // a user interface makes them on a thread of its own, as here, never on
        // the AWT event dispatch thread.
        Thread reader = new Thread(() -> {
            captured[0] = bio.FK_Capture();
            captured[1] = bio.FK_VerifyServer();
        }, "fingerprint reader");
        reader.start();
        reader.join();
        String stored = captured[0], live = captured[1];
        if (!isTemplate(stored) || !isTemplate(live)) {
            System.out.println("capture failed: " + stored + " / " + live);
            return;
        }
        String answer = bio.FK_VerifyMatch("Z", stored, "Z", live); // "1", or "0" and the reason
        System.out.println(answer.equals("1") ? "same finger" : "no match " + answer.substring(1));
    }
}
