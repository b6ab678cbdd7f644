#include "HelpWindow.h"

#include "framework/qt/QtString.h"

#include "framework/Platform.h"
#include "framework/ProductInfo.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPalette>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A dark palette puts light text on a dark page.
bool IsDark(const QPalette& palette)
{
    return palette.color(QPalette::Base).lightness() < palette.color(QPalette::Text).lightness();
}

// The guide's pages name colours for a light page. On a dark palette every
// style sheet X.css is followed by X-dark.css from the same folder, which
// turns those colours light; a change of palette shows the page again.
class CHelpBrowser final : public QTextBrowser
{
public:
    explicit CHelpBrowser(QWidget* pParent) : QTextBrowser(pParent) {}

    QVariant loadResource(int nType, const QUrl& name) override
    {
        QVariant resource = QTextBrowser::loadResource(nType, name);
        if (nType != QTextDocument::StyleSheetResource || !IsDark(palette()))
            return resource;
        const QUrl sheet = source().resolved(name);
        if (!sheet.isLocalFile())
            return resource;
        const QFileInfo info(sheet.toLocalFile());
        QFile dark(info.dir().filePath(info.completeBaseName() + QStringLiteral("-dark.css")));
        if (!dark.open(QIODevice::ReadOnly))
            return resource;
        const QByteArray base = resource.userType() == QMetaType::QString
            ? resource.toString().toUtf8()
            : resource.toByteArray();
        return QString::fromUtf8(base + '\n' + dark.readAll());
    }

protected:
    void changeEvent(QEvent* pEvent) override
    {
        QTextBrowser::changeEvent(pEvent);
        if (pEvent->type() == QEvent::PaletteChange && source().isValid())
            reload();
    }
};

QToolButton* MakeButton(const char* pszText, const char* pszName, QWidget* pParent)
{
    auto* pButton = new QToolButton(pParent);
    pButton->setText(QString::fromUtf8(pszText));
    pButton->setObjectName(QString::fromUtf8(pszName));
    pButton->setAutoRaise(true);
    pButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return pButton;
}

} // namespace

CHelpWindow::CHelpWindow(QWidget* pParent)
    : QWidget(pParent, Qt::Window), m_pBrowser(new CHelpBrowser(this)),
      m_pBack(MakeButton("Back", "helpBack", this)),
      m_pForward(MakeButton("Forward", "helpForward", this)),
      m_pContents(MakeButton("Contents", "helpContents", this))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QString::fromUtf8(product::kName) + QStringLiteral(" Help"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(780, 600);

    m_pBrowser->setObjectName(QStringLiteral("helpBrowser"));
    m_pBrowser->document()->setDocumentMargin(12);
    // Every link comes to OnAnchorClicked, so that web addresses go through
    // the platform's browser service like the rest of the program's.
    m_pBrowser->setOpenLinks(false);
    m_pBrowser->setOpenExternalLinks(false);

    m_pBack->setEnabled(false);
    m_pForward->setEnabled(false);
    m_pBack->setShortcut(QKeySequence::Back);
    m_pForward->setShortcut(QKeySequence::Forward);

    auto* pButtons = new QHBoxLayout;
    pButtons->setContentsMargins(4, 2, 4, 2);
    pButtons->addWidget(m_pBack);
    pButtons->addWidget(m_pForward);
    pButtons->addWidget(m_pContents);
    pButtons->addStretch(1);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addLayout(pButtons);
    pLayout->addWidget(m_pBrowser, 1);

    connect(m_pBack, &QToolButton::clicked, m_pBrowser, &QTextBrowser::backward);
    connect(m_pForward, &QToolButton::clicked, m_pBrowser, &QTextBrowser::forward);
    connect(m_pContents, &QToolButton::clicked, this, [this] {
        if (m_contents.isValid())
            m_pBrowser->setSource(m_contents);
    });
    connect(m_pBrowser, &QTextBrowser::backwardAvailable, m_pBack, &QToolButton::setEnabled);
    connect(m_pBrowser, &QTextBrowser::forwardAvailable, m_pForward, &QToolButton::setEnabled);
    connect(m_pBrowser, &QTextBrowser::anchorClicked, this, &CHelpWindow::OnAnchorClicked);
    connect(m_pBrowser, &QTextBrowser::sourceChanged, this, &CHelpWindow::OnSourceChanged);
}

CHelpWindow::~CHelpWindow() = default;

void CHelpWindow::OpenContents(const CString& strPagePath)
{
    m_contents = QUrl::fromLocalFile(QFileInfo(ToQt(strPagePath)).absoluteFilePath());
    m_pBrowser->setSource(m_contents);
}

CString CHelpWindow::CurrentPage() const { return FromQt(m_pBrowser->source().toLocalFile()); }

void CHelpWindow::OnAnchorClicked(const QUrl& url)
{
    const QUrl target = m_pBrowser->source().resolved(url);
    if (!target.isLocalFile()) {
        platform::WebBrowser().OpenUrl(FromQt(target.toString()));
        return;
    }
    if (!QFileInfo::exists(target.toLocalFile())) {
        platform::MessageBox().Show("The help page " + FromQt(target.toLocalFile()) +
                                        " was not found.",
                                    EMessageIcon::Exclamation);
        return;
    }
    m_pBrowser->setSource(target);
}

void CHelpWindow::OnSourceChanged()
{
    const QString strBase = QString::fromUtf8(product::kName) + QStringLiteral(" Help");
    const QString strTitle = m_pBrowser->documentTitle();
    setWindowTitle(strTitle.isEmpty() || strTitle == strBase
                       ? strBase
                       : strTitle + QStringLiteral(" - ") + strBase);
}
