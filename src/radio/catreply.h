#pragma once

#include <QByteArrayView>

// The radio's answer to "bn;md;vx;" and what the manager makes of it.
// Pure functions of the text received; no port in sight.
class CatReply
{
public:
    enum class State {
        Incomplete, // a marker, or the ";" behind it, has not arrived yet
        NotNumeric, // all three arrived, but a value is no number
        Complete
    };

    // Looks for "BN", "MD" and "VX" in the text collected from the radio;
    // each answer counts once the ";" behind it is there. Fills the values
    // when Complete.
    static State parse(QByteArrayView text, CatReply *reply);

    // A K3's answer to "k3;": at least four characters, beginning "K3".
    static bool isK3Identification(QByteArrayView reply);
    // The option modules ("OM ...;") of a KX3 or KX2: they end with the
    // model number 01 or 02.
    static bool isKxOptionReply(QByteArrayView reply);

    // The position in the band list (" 2" ... "160") for a radio band:
    // 0 (160 m) is position 12 ... 10 (6 m) position 2. -1 for the
    // transverter bands above 10, which the keyer has no band for.
    static int bandPosition(int band);

    // The QSO mode a radio mode asks for, given the SSB box: 0 CW, 1 SSB,
    // -1 to leave it. CW and CW reverse (3, 7) ask for CW, every other mode
    // for SSB.
    static int modePosition(int mode, bool ssb);

    int band = -1;
    int mode = -1;
    int vox = -1;
};
