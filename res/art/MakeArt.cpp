// Paints the program's artwork: the banner (763 x 110), the window icon and
// the pointing-hand cursor (32 x 32, hot spot 5, 0); with --icons, the icon
// for the desktop's icon theme, as SVG and as PNG at the theme's sizes. Run
// it once and commit the files it writes:
//   korvane-make-art <output folder>            (res/)
//   korvane-make-art --icons <theme folder>     (dist/icons/)
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <vector>

namespace {

void PaintTextLine(QPainter& p, qreal x, qreal y, qreal w, const QColor& field, qreal fx, qreal fw)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRoundedRect(QRectF(x, y, w, 8), 4, 4);
    p.setBrush(field);
    p.drawRoundedRect(QRectF(x + fx, y, fw, 8), 4, 4);
}

QImage Banner()
{
    QImage image(763, 110, QImage::Format_ARGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 763, 110);
    sky.setColorAt(0.0, QColor(0x0B, 0x2A, 0x4A));
    sky.setColorAt(0.6, QColor(0x0F, 0x4C, 0x5C));
    sky.setColorAt(1.0, QColor(0x13, 0x6F, 0x63));
    p.fillRect(image.rect(), sky);

    // A faint grid on the right: the table the text becomes.
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    for (int x = 480; x < 763; x += 28)
        p.drawLine(x, 0, x, 110);
    for (int y = 6; y < 110; y += 16)
        p.drawLine(480, y, 763, y);

    // Left: lines of text with highlighted fields ...
    const QColor amber(0xF2, 0xB1, 0x34);
    const QColor mint(0x5E, 0xE0, 0xB5);
    const QColor rose(0xF0, 0x7C, 0x8C);
    PaintTextLine(p, 22, 24, 96, amber, 40, 50);
    PaintTextLine(p, 22, 40, 96, mint, 40, 36);
    PaintTextLine(p, 22, 56, 96, rose, 40, 44);
    PaintTextLine(p, 22, 76, 96, amber, 40, 56);

    // ... an arrow ...
    p.setPen(QPen(QColor(255, 255, 255, 200), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(130, 55), QPointF(156, 55));
    QPainterPath head;
    head.moveTo(150, 47);
    head.lineTo(160, 55);
    head.lineTo(150, 63);
    p.drawPath(head);

    // ... and the table they land in.
    const QRectF table(172, 22, 84, 66);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawRoundedRect(table, 5, 5);
    p.setBrush(QColor(0x0F, 0x4C, 0x5C));
    p.drawRect(QRectF(table.left(), table.top() + 14, table.width(), 1.5));
    const QColor cols[3] = {amber, mint, rose};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            p.setBrush(cols[c]);
            p.drawRoundedRect(QRectF(table.left() + 6 + c * 26, table.top() + 22 + r * 14, 20, 7),
                              3, 3);
        }
    }
    p.setBrush(QColor(0x0F, 0x4C, 0x5C, 140));
    for (int c = 0; c < 3; ++c)
        p.drawRoundedRect(QRectF(table.left() + 6 + c * 26, table.top() + 4, 20, 6), 3, 3);

    // The wordmark and the line under it.
    QFont title("DejaVu Sans", 34, QFont::Bold);
    title.setLetterSpacing(QFont::PercentageSpacing, 104);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(284, 12, 460, 56), Qt::AlignLeft | Qt::AlignVCenter, "Korvane");
    QFont tagline("DejaVu Sans", 12);
    p.setFont(tagline);
    p.setPen(QColor(0xCF, 0xE8, 0xE4));
    p.drawText(QRectF(287, 66, 460, 26), Qt::AlignLeft | Qt::AlignVCenter,
               "Text in, tables out \u2014 for logs, reports and exports");
    return image;
}

// The icon on a 64 x 64 grid: a rounded square in the banner's colours and,
// on it, a white card holding a table of three coloured columns. The PNG and
// the SVG are both drawn from these shapes.
const QColor kIconTop(0x0F, 0x4C, 0x5C);
const QColor kIconBottom(0x13, 0x6F, 0x63);
const QRectF kIconSquare(2, 2, 60, 60);
const qreal kIconSquareRadius = 12;

struct CIconShape
{
    QRectF rect;
    qreal radius;
    QColor colour;
};

std::vector<CIconShape> IconShapes()
{
    std::vector<CIconShape> shapes{{QRectF(12, 14, 40, 36), 4, QColor(255, 255, 255, 240)}};
    const QColor cols[3] = {QColor(0xF2, 0xB1, 0x34), QColor(0x5E, 0xE0, 0xB5),
                            QColor(0xF0, 0x7C, 0x8C)};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            shapes.push_back({QRectF(15 + c * 12.5, 19 + r * 10.5, 9.5, 6), 2, cols[c]});
    }
    return shapes;
}

QImage Icon(int nSize)
{
    QImage image(nSize, nSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(nSize / 64.0, nSize / 64.0);
    QLinearGradient g(0, 0, 64, 64);
    g.setColorAt(0, kIconTop);
    g.setColorAt(1, kIconBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(kIconSquare, kIconSquareRadius, kIconSquareRadius);
    for (const CIconShape& shape : IconShapes()) {
        p.setBrush(shape.colour);
        p.drawRoundedRect(shape.rect, shape.radius, shape.radius);
    }
    return image;
}

QString SvgRect(const QRectF& rect, qreal radius, const QString& strFill)
{
    return QString("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" %6/>\n")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height())
        .arg(radius)
        .arg(strFill);
}

QString IconSvg()
{
    QString strSvg = QString("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" "
                             "viewBox=\"0 0 64 64\">\n"
                             "  <defs>\n"
                             "    <linearGradient id=\"square\" gradientUnits=\"userSpaceOnUse\" "
                             "x1=\"0\" y1=\"0\" x2=\"64\" y2=\"64\">\n"
                             "      <stop offset=\"0\" stop-color=\"%1\"/>\n"
                             "      <stop offset=\"1\" stop-color=\"%2\"/>\n"
                             "    </linearGradient>\n"
                             "  </defs>\n")
                         .arg(kIconTop.name(), kIconBottom.name());
    strSvg += SvgRect(kIconSquare, kIconSquareRadius, "fill=\"url(#square)\"");
    for (const CIconShape& shape : IconShapes()) {
        QString strFill = QString("fill=\"%1\"").arg(shape.colour.name());
        if (shape.colour.alpha() != 255)
            strFill += QString(" fill-opacity=\"%1\"").arg(shape.colour.alphaF(), 0, 'f', 3);
        strSvg += SvgRect(shape.rect, shape.radius, strFill);
    }
    return strSvg + "</svg>\n";
}

// The icon theme's files under folder: hicolor/scalable/apps/korvane.svg and
// hicolor/NxN/apps/korvane.png.
bool WriteThemeIcons(const QString& folder)
{
    const QString scalable = folder + "/hicolor/scalable/apps";
    QFile svg(scalable + "/korvane.svg");
    if (!QDir().mkpath(scalable) || !svg.open(QIODevice::WriteOnly) ||
        svg.write(IconSvg().toUtf8()) < 0)
        return false;
    for (const int nSize : {16, 24, 32, 48, 64, 128, 256}) {
        const QString apps = QString("%1/hicolor/%2x%2/apps").arg(folder).arg(nSize);
        if (!QDir().mkpath(apps) || !Icon(nSize).save(apps + "/korvane.png"))
            return false;
    }
    return true;
}

QImage Hand()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The tip of the index finger is the hot spot, at (5, 0).
    QPainterPath hand;
    hand.moveTo(3.5, 2);
    hand.quadTo(5.5, -0.5, 7.5, 2);
    hand.lineTo(7.5, 12);
    hand.quadTo(9.5, 10, 11.5, 12);
    hand.lineTo(11.5, 13);
    hand.quadTo(13.5, 11, 15.5, 13);
    hand.lineTo(15.5, 14);
    hand.quadTo(17.5, 12, 19.5, 14.5);
    hand.lineTo(19.5, 22);
    hand.quadTo(19.5, 28, 15, 30);
    hand.lineTo(8, 30);
    hand.quadTo(5, 27, 2, 21);
    hand.quadTo(0.5, 17.5, 3.5, 17.5);
    hand.lineTo(3.5, 2);
    hand.closeSubpath();
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    p.setPen(QPen(Qt::black, 0.9));
    p.drawLine(QPointF(11.5, 13), QPointF(11.5, 18));
    p.drawLine(QPointF(15.5, 14), QPointF(15.5, 18));
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc > 2 && QString::fromLocal8Bit(argv[1]) == "--icons")
        return WriteThemeIcons(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(".");
    const bool bOk = Banner().save(out + "/banner.png") && Icon(64).save(out + "/korvane.png") &&
        Hand().save(out + "/hand.png");
    return bOk ? 0 : 1;
}
