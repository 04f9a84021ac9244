import com.bio.BioApplet;

/**
 * The Java face: enroll a finger, take a live one, compare them.
 *
 *   javac -cp ..\java\bioapplet.jar CaptureAndMatch.java
 *   java -cp ..\java\bioapplet.jar;. -Djava.library.path=..\bin CaptureAndMatch
 *
 * Add -Dcom.bio.library=fpbridge_dpfp for DigitalPersona readers.
 */
public class CaptureAndMatch {
    public static void main(String[] args) {
        BioApplet bio = new BioApplet(); // loads the library
        String stored = bio.FK_Capture(); // a template text, an "ERROR..." text, or null
        String live = bio.FK_VerifyServer();
        if (stored == null || live == null || stored.startsWith("ERROR") || live.startsWith("ERROR")) {
            System.out.println("capture failed: " + stored + " / " + live);
            return;
        }
        String answer = bio.FK_VerifyMatch("Z", stored, "Z", live); // "1", or "0" and the reason
        System.out.println(answer.equals("1") ? "same finger" : "no match " + answer.substring(1));
    }
}
