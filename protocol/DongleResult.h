#pragma once
// The outcome of every device operation: a code (0 is success), its error domain, the translated
// text of the code and an optional detail added by the operation that failed.
#include <QMetaType>
#include <QString>

class DongleResult {
public:
    // Process-wide error domain of every result made by this program.
    static constexpr const char ErrorDomain[] = "hu.orvixtool.dongle.errorDomain";

    enum Code {
        Ok = 0,
        ChecksumMismatch = 1,
        InvalidResponse = 2,
        CommandQueueEmpty = 3,
        TimedOut = 4,
        QueryChannelMapFailed = 5,
        NoHeadset = 6,
        HeadsetActive = 7,
        InvalidCommand = 8,
        InvalidRevision = 9,
        Exception = 10,
        InvalidDongleState = 11,
        NotInServiceMode = 12,
        // The addressee answered with an error record: it will not take the request, so it is
        // not repeated.
        Refused = 13,
        DongleRemoved = 14, // the dongle went (unplugged, or the application stops) before the answer
        NoDongle = 15, // nothing was sent: no dongle is connected
        NotImplemented = 255,
    };

    // Code 0, the error domain and the text "Ok".
    DongleResult();
    // The given code with the domain and the text of the code filled in, then the detail.
    explicit DongleResult(int code, const QString& detail = QString());

    // Sets text from code (translated in the context "QObject").
    void finalizeErrorTexts();
    // "<domain>:<code> \"<text>\" (<detail>)"
    QString toStringHelper() const;

    // The untranslated text of a code; "Unknwon error" for a code outside the table.
    static const char* textForCode(int code);

    int code = 0;
    QString domain;
    QString text;
    QString detail;
};

Q_DECLARE_METATYPE(DongleResult)
