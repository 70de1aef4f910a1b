#pragma once
// The page "Help": the manual in the application's language, opened at the section of the page
// the user came from. The view stays hidden until the document is loaded, prepared (its image
// and style paths pointed into the resources, once per document) and scrolled to the section.
// A language without a manual shows the English one. Script answers that arrive after the page
// has gone touch nothing. The web view is made when Help first opens. Where the web engine cannot
// run (no web view module, run as root with the engine's sandbox on, its process ended), or the
// manual itself is missing from the resources, the page says that the manual cannot be shown,
// and the rest of the application goes on.
#include "ui/pages/WebView.h"
#include "ui/toolkit/Page.h"

#include <QMap>

#include <memory>

class QLabel;

namespace Ui
{
class HelpPage;
}

namespace OX
{

class HelpPage : public Page
{
    Q_OBJECT
public:
    HelpPage(PageContainer* container, QWidget* parent = nullptr);
    ~HelpPage() override;

    // Scrolls the manual to the element with id link: now when the document is ready, else as
    // soon as it is.
    void showPage(const QString& link);

    void retranslate() override;
    void pageWillAppear(const QString& from) override;
    void pageDidAppear() override;
    void pageDidDisappear() override;

    // Readers for tests and diagnostics.
    bool isReady() const { return m_ready; }
    QString loadedLanguage() const { return m_loadedLanguage; }
    // Null until Help first opened (and without the web view module).
    QWidget* view() const { return m_web ? m_web->widget() : nullptr; }
    WebView* web() const { return m_web.get(); }
    // The anchor for a page name or help key (the key itself when the table has none).
    QString anchorFor(const QString& key) const;
    // Why the manual cannot be shown.
    enum class Unavailable { No, ViewerMissing, RunAsRoot, ViewerStopped, ManualMissing };
    Unavailable unavailable() const { return m_unavailable; }

signals:
    // The freshly loaded document has been prepared.
    void ready();

public slots:
    void finishLoading(bool ok);
    void documentReady();

private:
    void createView();
    // Shows why the manual cannot be shown instead of it.
    void showUnavailable(Unavailable why);
    QString unavailableText() const;

    std::unique_ptr<WebView> m_web;
    // Shown instead of the manual when the web view cannot be made or stopped.
    QLabel* m_missing = nullptr;
    Unavailable m_unavailable = Unavailable::No;
    QMap<QString, QString> m_anchors;
    bool m_ready = false;
    QString m_pendingLink;
    QString m_loadedLanguage;
    QString m_requestedLanguage;
    bool m_languageRequested = false;
    QString m_jQuery;
    // Counts the documents loaded; a chain of an earlier document stops when it differs.
    int m_generation = 0;
    int m_preparedGeneration = -1;
    // Cleared first thing in the destructor: script answers check it before touching the page.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    std::unique_ptr<Ui::HelpPage> m_ui;
};

} // namespace OX
