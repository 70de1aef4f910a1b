#pragma once
// What the interface tests share: pixel probes, screenshots for a person, a tolerant image
// comparison, one log capture, answers to modal boxes, and whether a display is there.
#include <QColor>
#include <QDialogButtonBox>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>

class QLabel;
class QSlider;

class QWidget;

namespace testutil
{

// The colour at point of what widget paints now (its grab()).
QColor pixelAt(QWidget* widget, QPoint point);

// Saves what widget shows as <artifacts>/<name>.png for a person to look at; returns the path.
// The folder is the build tree's test-artifacts, which CI keeps.
QString saveScreenshot(QWidget* widget, const QString& name);
QString saveScreenshot(const QImage& image, const QString& name);
QString artifactsFolder();

// True when a and b have the same size and at most maxFraction of their pixels differ by more
// than tolerance in any channel (a regression guard, never the only assertion).
bool imagesClose(const QImage& a, const QImage& b, int tolerance = 16, double maxFraction = 0.01);

// True when the test runs on a real (X11) display rather than the offscreen platform.
bool hasDisplay();

// Captures every log line written while it lives ("<level>: <message>", level one of debug,
// info, warning, critical), and hands each on to the handler that was there before.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const;
    bool contains(const QString& text) const;
    int count(const QString& text) const;
    void clear();
};

// Modal boxes. Every box opened while a BoxAnswerer lives is handled from the event loop: a box
// whose window title (or, failing that, text) matches an entry is answered by clicking the button
// with that entry's text; any other box is recorded as unexpected and closed with Escape.
class BoxAnswerer
{
public:
    BoxAnswerer();
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // Answers the next box titled title (or whose text is title) with the button button.
    void answer(const QString& title, const QString& button);
    // Titles of every box seen, answered or not, in order.
    QStringList seen() const;
    // Titles of the boxes nobody expected.
    QStringList unexpected() const;
    // The text of every message box seen, as it shows it (markup rendered).
    QStringList shownTexts() const;

private:
    struct Impl;
    Impl* m_impl;
};

// What label shows: its text as written, or as rendered when it took the text for rich text.
QString shownText(const QLabel* label);

// Clicks the button with text button on the next modal box, whatever its title.
void answerNextBox(const QString& button);

// Runs act on the next modal window once ready(window) holds, when given (polled from the
// event loop); for dialogs that are filled in before they are answered.
void onNextBox(std::function<void(QWidget*)> act, std::function<bool(QWidget*)> ready = {});
// A person's answer to the dialog that trigger opens: act runs on it once it is the modal window.
// True once the dialog is gone: a page deletes the dialog of open() after taking its answer.
bool answerDialog(std::function<void()> const& trigger, std::function<void(QWidget*)> act);
// Clicks box's visible button with text text, or its button box's standard button which, as a
// person does; false when there is none.
bool clickButton(QWidget* box, const QString& text);
bool clickStandard(QWidget* box, QDialogButtonBox::StandardButton which);

// The ways a person moves a slider without its handle, as a table test runs them.
enum class SliderMove { RightKey, PageUp, WheelUp };
const char* sliderMoveName(SliderMove move);
// One such move on widget (a key press, or one notch of the wheel over its middle).
void moveSlider(QWidget* widget, SliderMove move);
// A person's press and release on the handle of slider, without moving it.
void releaseHandle(QSlider* slider);

} // namespace testutil
