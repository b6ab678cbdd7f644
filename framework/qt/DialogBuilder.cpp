#include "DialogBuilder.h"

#include "DialogLayout.h"
#include "ElidedLabel.h"
#include "ListView.h"
#include "MultiLineEdit.h"
#include "PictureControl.h"
#include "ResourceImages.h"
#include "res/ResourceTypes.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

// The layout was drawn for a narrower face than Linux offers; a caption
// that would be cut off gets a slightly smaller font instead.
void FitTextToWidth(QWidget* pWidget)
{
    QFont font = pWidget->font();
    for (qreal points = font.pointSizeF(); points > 6.0; points -= 0.25) {
        font.setPointSizeF(points);
        pWidget->setFont(font);
        if (pWidget->sizeHint().width() <= pWidget->width())
            return;
    }
}

} // namespace

CDialogBuilder::CDialogBuilder(IDialogHost* pDialog, QWidget* pClient)
    : m_pDialog(pDialog), m_pClient(pClient)
{}

std::vector<QWidget*> CDialogBuilder::Build(const CDialogTemplate& tmpl, CDialogLayout& layout)
{
    std::vector<QWidget*> widgets;
    for (const CControlTemplate& ctl : tmpl.controls) {
        QWidget* pWidget = CreateControl(ctl);
        pWidget->setObjectName(QString::fromUtf8(ctl.pszName));
        widgets.push_back(pWidget);
    }
    PlaceControls(tmpl, widgets, layout);
    SetUpFocus(tmpl, widgets);
    return widgets;
}

QWidget* CDialogBuilder::CreateControl(const CControlTemplate& ctl)
{
    const QString caption =
        ctl.pszCaption != nullptr ? QString::fromUtf8(ctl.pszCaption) : QString();
    switch (ctl.kind) {
    case EControlKind::ListView:
        return new CListView(m_pDialog, ctl.nId, m_pClient);
    case EControlKind::Edit:
        if (ctl.nStyle & CS_MULTILINE) {
            auto* pEdit = new CMultiLineEdit(m_pClient);
            pEdit->setHorizontalScrollBarPolicy((ctl.nStyle & CS_HSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                          : Qt::ScrollBarAlwaysOff);
            pEdit->setVerticalScrollBarPolicy((ctl.nStyle & CS_VSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                        : Qt::ScrollBarAlwaysOff);
            return pEdit;
        }
        return new QLineEdit(m_pClient);
    case EControlKind::PushButton:
    case EControlKind::DefPushButton: {
        auto* pButton = new QPushButton(caption, m_pClient);
        pButton->setAutoDefault(true);
        if (ctl.kind == EControlKind::DefPushButton)
            pButton->setDefault(true);
        const int nId = ctl.nId;
        IDialogHost* pDialog = m_pDialog;
        QObject::connect(pButton, &QPushButton::clicked, pDialog->HostObject(),
                         [pDialog, nId] { pDialog->SendCommand(nId); });
        return pButton;
    }
    case EControlKind::Label: {
        if (ctl.nStyle & CS_ENDELLIPSIS) {
            auto* pElided = new CElidedLabel(m_pClient);
            pElided->setText(caption);
            return pElided;
        }
        auto* pLabel = new QLabel(caption, m_pClient);
        pLabel->setTextFormat(Qt::PlainText);
        pLabel->setAlignment(Qt::AlignLeft |
                             ((ctl.nStyle & CS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop));
        return pLabel;
    }
    case EControlKind::GroupBox: {
        auto* pGroup = new QGroupBox(caption, m_pClient);
        pGroup->setAttribute(Qt::WA_TransparentForMouseEvents);
        return pGroup;
    }
    case EControlKind::CheckBox:
        return new QCheckBox(caption, m_pClient);
    case EControlKind::Bitmap: {
        auto* pPicture = new CPictureControl(res::LoadBitmap(ctl.nImage), m_pClient);
        if (ctl.nStyle & CS_SUNKEN) {
            pPicture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            pPicture->setLineWidth(1);
        }
        return pPicture;
    }
    case EControlKind::Icon: {
        auto* pLabel = new QLabel(m_pClient);
        pLabel->setPixmap(res::LoadIcon(ctl.nImage).pixmap(32, 32));
        pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return pLabel;
    }
    }
    return nullptr;
}

QSize CDialogBuilder::MinimumControlSize(const CControlTemplate& ctl, const QWidget* pWidget) const
{
    if (ctl.nSizeX <= 0)
        return QSize(0, 0);
    // A control that narrows keeps room for this many average characters.
    int nChars = 8;
    if (ctl.kind == EControlKind::ListView)
        nChars = 24;
    else if (ctl.kind == EControlKind::Edit && (ctl.nStyle & CS_MULTILINE))
        nChars = 16;
    else if (ctl.kind == EControlKind::Bitmap || ctl.kind == EControlKind::GroupBox)
        nChars = 0;
    return QSize(std::max(nChars * m_pDialog->BaseUnitX(), pWidget->minimumSizeHint().width()), 0);
}

void CDialogBuilder::PlaceControls(const CDialogTemplate& tmpl,
                                   const std::vector<QWidget*>& widgets, CDialogLayout& layout)
{
    const QPoint size = m_pDialog->MapDialogPoint(tmpl.cx, tmpl.cy);
    layout.SetBaseSize(QSize(size.x(), size.y()));
    for (const CStripTemplate& strip : tmpl.strips)
        layout.AddStrip(m_pDialog->MapDialogPoint(0, strip.nTop).y(),
                        m_pDialog->MapDialogPoint(0, strip.nBottom).y(), strip.nGrow,
                        m_pDialog->MapDialogPoint(0, strip.nMinHeight).y());
    for (size_t i = 0; i < widgets.size(); ++i) {
        const CControlTemplate& ctl = tmpl.controls[i];
        CDialogLayout::CItem item;
        item.pWidget = widgets[i];
        const QPoint topLeft = m_pDialog->MapDialogPoint(ctl.x, ctl.y);
        QPoint extent = m_pDialog->MapDialogPoint(ctl.cx, ctl.cy);
        // An icon takes the size of its picture, as on the platform.
        if (ctl.kind == EControlKind::Icon)
            extent = QPoint(32, 32);
        item.rect = QRect(topLeft, QSize(extent.x(), extent.y()));
        item.nMoveX = ctl.nMoveX;
        item.nSizeX = ctl.nSizeX;
        item.minSize = MinimumControlSize(ctl, widgets[i]);
        item.bGroup = ctl.kind == EControlKind::GroupBox;
        // A label that cuts its text keeps its rectangle.
        item.bText = (ctl.kind == EControlKind::Label && !(ctl.nStyle & CS_ENDELLIPSIS)) ||
            ctl.kind == EControlKind::CheckBox;
        layout.Add(item);
    }
    layout.MakeRoomForText(std::max(1, m_pDialog->BaseUnitX() / 2));
    layout.Apply(layout.BaseSize());
    // The last resort for a caption that found no room: a smaller font.
    for (size_t i = 0; i < widgets.size(); ++i) {
        const EControlKind kind = tmpl.controls[i].kind;
        if ((kind == EControlKind::Label && !(tmpl.controls[i].nStyle & CS_ENDELLIPSIS)) ||
            kind == EControlKind::CheckBox || kind == EControlKind::PushButton ||
            kind == EControlKind::DefPushButton)
            FitTextToWidth(widgets[i]);
    }
    m_pClient->setMinimumSize(layout.MinimumSize());
}

void CDialogBuilder::SetUpFocus(const CDialogTemplate& tmpl, const std::vector<QWidget*>& widgets)
{
    QWidget* pPreviousFocusable = nullptr;
    for (size_t i = 0; i < widgets.size(); ++i) {
        const CControlTemplate& ctl = tmpl.controls[i];
        QWidget* pWidget = widgets[i];
        if (ctl.nStyle & CS_TABSTOP) {
            pWidget->setFocusPolicy(Qt::StrongFocus);
            if (pPreviousFocusable != nullptr)
                QWidget::setTabOrder(pPreviousFocusable, pWidget);
            pPreviousFocusable = pWidget;
        } else if (ctl.kind == EControlKind::Label || ctl.kind == EControlKind::GroupBox ||
                   ctl.kind == EControlKind::Bitmap || ctl.kind == EControlKind::Icon) {
            pWidget->setFocusPolicy(Qt::NoFocus);
        }
        // Group boxes are frames drawn behind the controls they surround.
        if (ctl.kind == EControlKind::GroupBox)
            pWidget->lower();
    }
}
