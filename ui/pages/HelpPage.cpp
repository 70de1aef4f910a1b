#include "ui/pages/HelpPage.h"

#include "ui_HelpPage.h"

#include "app/OrvixDirector.h"
#include "async/Promise.h"
#include "ui/toolkit/PageContainer.h"
#include "ui/toolkit/SharedGlContext.h"

#include <QDebug>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>

namespace OX
{

namespace
{

const char DocumentAddress[] = "qrc:/help/index_%1";
const char DocumentResource[] = ":/help/index_%1";
const char FallbackLanguage[] = "en";
const char ContentsAnchor[] = "contents_anchor";

const char JQueryResource[] = ":/help/jQuery";
const char JQueryPrivate[] = "\nvar qt = { 'jQuery': jQuery.noConflict(true) };";

const char ResetScript[] = "window.location.hash='#contents_anchor';";
const char JumpScript[] = "window.location.hash='#%1';";
// Run once the view shows. A view never shown before gets its size only now, and the style
// sheets and images pointed into the resources may still be arriving: for a few seconds every
// such change keeps the section at the top.
const char RevealScript[]
    = "(function () { var e = document.getElementById('%1'); if (!e) return; "
      "var align = function () { e.scrollIntoView(); }; align(); "
      "window.addEventListener('resize', align); document.addEventListener('load', align, true); "
      "setTimeout(function () { window.removeEventListener('resize', align); "
      "document.removeEventListener('load', align, true); }, 3000); })();";
// Points every img and link element's bare file name into the resource folders of language %1.
const char PathScript[] = "qt.jQuery('img').each( function () { var src = qt.jQuery(this).attr('src'); "
                          "qt.jQuery(this).attr('src', 'resources/html/images/%1/'+src); } );"
                          "qt.jQuery('link').each( function () { var href = qt.jQuery(this).attr('href'); "
                          "qt.jQuery(this).attr('href', 'resources/html/styles/'+href); } );";

// The sections of the manual for each page; any other key names its section itself.
const struct {
    const char* page;
    const char* anchor;
} Anchors[] = {
    { "Help", "contents_anchor" },
    { "Menu", "navigation_main_anchor" },
    { "Profiles", "profiles_anchor" },
    { "Status", "status_anchor" },
    { "Appearance", "appearance_anchor" },
    { "Calibration", "calibration_anchor" },
    { "Link", "link_selection_anchor" },
    { "LinkIndoor", "link_settings_general_anchor" },
    { "LinkOutdoor", "link_settings_general_anchor" },
    { "Pairing", "pairing_anchor" },
    { "Security", "security_anchor" },
    { "Devices", "devices_anchor" },
};

// Language codes and anchors go into addresses and scripts: only plain names pass.
bool isPlainName(const QString& text)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-]+$"));
    return plain.match(text).hasMatch();
}

} // namespace

HelpPage::HelpPage(PageContainer* container, QWidget* parent)
    : Page(container, parent)
    , m_ui(std::make_unique<Ui::HelpPage>())
{
    m_ui->setupUi(this);
    for (const auto& row : Anchors)
        m_anchors.insert(QLatin1String(row.page), QLatin1String(row.anchor));
    connect(this, &HelpPage::ready, this, &HelpPage::documentReady);
}

HelpPage::~HelpPage()
{
    *m_alive = false;
    m_web.reset();
}

void HelpPage::createView()
{
    // The web engine starts its processes with its first page: that happens when Help first
    // opens, not with the application.
    if (m_web || m_missing)
        return;
    if (webEngineRefusesToRun()) {
        // As root the engine would end the whole application on its first page.
        qWarning("The manual is not shown: the web engine does not run as root with its sandbox");
        showUnavailable(Unavailable::RunAsRoot);
        return;
    }
    WebViewFactory* factory = webViewFactory();
    if (!factory) {
        showUnavailable(Unavailable::ViewerMissing);
        return;
    }
    QFile jQuery { QString::fromLatin1(JQueryResource) };
    if (jQuery.open(QIODevice::ReadOnly))
        m_jQuery = QString::fromUtf8(jQuery.readAll());
    m_jQuery += QLatin1String(JQueryPrivate);

    SharedGlContext::ensure();
    const std::shared_ptr<bool> alive = m_alive;
    m_web = factory->create(
        this, [this](bool ok) { finishLoading(ok); },
        [this, alive]() {
            // From the event loop: the view is not deleted inside its own signal.
            QMetaObject::invokeMethod(
                this,
                [this, alive]() {
                    if (*alive)
                        showUnavailable(Unavailable::ViewerStopped);
                },
                Qt::QueuedConnection);
        });
    QWidget* view = m_web->widget();
    // Hidden, the view keeps its place and size, so the document is laid out and scrolled at the
    // size it is then shown at.
    QSizePolicy policy = view->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    view->setSizePolicy(policy);
    view->hide();
    m_ui->verticalLayout->addWidget(view);
}

void HelpPage::showUnavailable(Unavailable why)
{
    m_unavailable = why;
    m_ready = false;
    m_pendingLink.clear();
    if (m_web) {
        m_web->widget()->hide();
        m_ui->verticalLayout->removeWidget(m_web->widget());
    }
    if (!m_missing) {
        m_missing = new QLabel(this);
        m_missing->setObjectName(QStringLiteral("missingLabel"));
        m_missing->setAlignment(Qt::AlignCenter);
        m_missing->setWordWrap(true);
        m_ui->verticalLayout->addWidget(m_missing);
    }
    m_missing->setText(unavailableText());
    m_missing->show();
}

QString HelpPage::unavailableText() const
{
    switch (m_unavailable) {
    case Unavailable::RunAsRoot:
        return tr("The manual cannot be shown while OrvixTools runs as the system administrator (root).");
    case Unavailable::ManualMissing:
        return tr("The manual cannot be shown: it is missing from this installation.");
    case Unavailable::ViewerStopped:
        return tr("The manual cannot be shown: its viewer stopped. Restart OrvixTools to read it again.");
    default:
        return tr("The manual cannot be shown: its viewer is missing from this installation.");
    }
}

QString HelpPage::anchorFor(const QString& key) const
{
    const QString anchor = m_anchors.value(key);
    return anchor.isEmpty() ? key : anchor;
}

void HelpPage::retranslate()
{
    m_ui->retranslateUi(this);
    container->setTitle(tr("Help"));
    container->setSubtitle(QString());
    container->setLeft(tr("Back"), PageAction::back, this);
    container->setRight(QString(), PageAction::none, nullptr, PageFooter::ButtonIndex(0));

    if (m_missing)
        m_missing->setText(unavailableText());
    if (!m_web || m_unavailable != Unavailable::No)
        return; // the manual is loaded when Help first opens
    OrvixDirector* director = container->getDirector();
    const QString requested = director ? director->currentLanguage() : QLatin1String(FallbackLanguage);
    if (m_languageRequested && requested == m_requestedLanguage)
        return;
    m_languageRequested = true;
    m_requestedLanguage = requested;
    // A language without a manual (or no language at all) reads the English one.
    QString language = requested;
    if (!isPlainName(language) || !QFile::exists(QString::fromLatin1(DocumentResource).arg(language)))
        language = QLatin1String(FallbackLanguage);
    if (!QFile::exists(QString::fromLatin1(DocumentResource).arg(language))) {
        // The engine would show its own error page, which speaks of servers and extensions.
        qWarning("The manual is not shown: it is missing from the resources");
        showUnavailable(Unavailable::ManualMissing);
        return;
    }
    if (language == m_loadedLanguage)
        return;

    m_loadedLanguage = language;
    m_ready = false;
    ++m_generation;
    qDebug() << "** Reload help: " << language;
    m_web->load(QUrl(QString::fromLatin1(DocumentAddress).arg(language)));
}

void HelpPage::pageWillAppear(const QString&)
{
    createView();
    retranslate();
    if (m_web)
        m_web->widget()->hide(); // shown again once scrolled to the section
}

void HelpPage::pageDidAppear()
{
    Page::pageDidAppear();
    container->setNavigationEnable(false, NavigationOptions::header_left | NavigationOptions::header_right);
    const QString key = state.helpKey.isEmpty() ? state.name : state.helpKey;
    showPage(anchorFor(key));
}

void HelpPage::pageDidDisappear()
{
    container->setNavigationEnable(true, NavigationOptions::header_left | NavigationOptions::header_right);
    Page::pageDidDisappear();
}

void HelpPage::showPage(const QString& link)
{
    if (m_unavailable != Unavailable::No)
        return;
    if (!m_ready || !m_web) {
        m_pendingLink = link;
        return;
    }
    const QString target = isPlainName(link) ? link : QLatin1String(ContentsAnchor);
    m_pendingLink.clear();
    const std::shared_ptr<bool> alive = m_alive;
    const int generation = m_generation;

    Promise::create(QStringLiteral("hide and reset page"),
        [this](Defer& step) {
            m_web->widget()->hide();
            m_web->runJavaScript(QLatin1String(ResetScript));
            step.resolve();
        })
        .then(QStringLiteral("jump to link"),
            [this, alive, target](Defer& step) {
                qDebug().noquote() << "Help jumps to page #" + target;
                Defer held = step;
                m_web->runJavaScript(
                    QString::fromLatin1(JumpScript).arg(target), [alive, held](const QVariant&) {
                        if (*alive)
                            held.resolve();
                    });
            })
        .finally(QStringLiteral("show page"), [this, alive, generation, target](DongleResult, QString) {
            if (!*alive || generation != m_generation || m_unavailable != Unavailable::No)
                return;
            m_web->widget()->show();
            m_web->runJavaScript(QString::fromLatin1(RevealScript).arg(target));
        });
}

void HelpPage::finishLoading(bool ok)
{
    qDebug().noquote() << QStringLiteral("Help loading finished, ") + (m_ready ? "ready" : " not ready yet");
    if (m_unavailable != Unavailable::No)
        return;
    if (m_preparedGeneration == m_generation)
        return; // a jump inside the prepared document: its paths are already set
    if (ok)
        m_preparedGeneration = m_generation;
    const std::shared_ptr<bool> alive = m_alive;
    const int generation = m_generation;
    const QString language = m_loadedLanguage;
    // Each answer moves the chain on only while its document is still the one shown.
    auto current = [this, alive, generation] { return *alive && generation == m_generation; };

    Promise::create(QStringLiteral("load jQuery"),
        [this, current](Defer& step) {
            Defer held = step;
            m_web->runJavaScript(m_jQuery, [current, held](const QVariant&) {
                if (current())
                    held.resolve();
            });
        })
        .then(QStringLiteral("run script"),
            [this, current, language](Defer& step) {
                Defer held = step;
                m_web->runJavaScript(
                    QString::fromLatin1(PathScript).arg(language), [current, held](const QVariant&) {
                        if (current())
                            held.resolve();
                    });
            })
        .finally(QStringLiteral("show page"), [this, current](DongleResult, QString) {
            if (current())
                emit ready();
        });
}

void HelpPage::documentReady()
{
    qDebug("Help document ready");
    if (m_unavailable != Unavailable::No)
        return;
    m_ready = true;
    if (!m_pendingLink.isEmpty())
        showPage(m_pendingLink);
}

} // namespace OX
