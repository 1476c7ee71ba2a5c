#include "shell/splash.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>

#include "pool/brand.h"
#include "shell/ball_art.h"
#include "shell/help_page.h"

QString ProgramVersion;

QString FormatVersion(int major, int minor, int release)
{
    return QStringLiteral("%1.%2%3").arg(major).arg(minor).arg(release);
}

QString GetFileVersionText(const QString& path)
{
    if (!QFileInfo::exists(path)) return QStringLiteral("File not found");
    // The program carries the build's version; there is no resource to read on this platform.
    return FormatVersion(HOOP_VERSION_MAJOR, HOOP_VERSION_MINOR, HOOP_VERSION_PATCH);
}

QUrl HelpPageUrl() { return QUrl::fromLocalFile(HelpPageFile()); }

namespace {
constexpr int Side = 278;

QLabel* MakeLabel(QWidget* parent, const QRect& rect, const QColor& colour, bool wrap)
{
    auto* label = new QLabel(parent);
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignHCenter | (wrap ? Qt::AlignTop : Qt::AlignVCenter));
    label->setWordWrap(wrap);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);  // a click on a label is a click on the picture
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    label->setFont(font);
    return label;
}
}  // namespace

TfrmSplash::TfrmSplash(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("TfrmSplash"));
    if (ProgramVersion.isEmpty()) ProgramVersion = GetFileVersionText(QCoreApplication::applicationFilePath());
    setFixedSize(Side, Side);
    setMask(QRegion(0, 0, Side, Side, QRegion::Ellipse));
    lblLegal = MakeLabel(this, QRect(56, 224, 171, 43), Qt::white, true);
    lblLegal->setObjectName(QStringLiteral("lblLegal"));
    lblLegal->setText(QStringLiteral("Version ") + ProgramVersion + QStringLiteral(" ") +
                      QString::fromUtf8(brand::SponsorNotice));
    lblStatus = MakeLabel(this, QRect(16, 144, 249, 19), Qt::yellow, false);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    if (const QScreen* screen = this->screen()) move(screen->geometry().center() - rect().center());
}

void TfrmSplash::ShowPoolFolder(const QString& folder)
{
    if (!lblPool) {
        lblPool = MakeLabel(this, QRect(24, 166, 230, 56), Qt::white, true);
        lblPool->setObjectName(QStringLiteral("lblPool"));
    }
    // A path has no spaces to wrap at: let it break after each separator, and shorten it in the
    // middle only when it still does not fit.
    const QString path = QStringLiteral("Pool: ") + QDir::toNativeSeparators(folder);
    QString text = QString(path).replace(QDir::separator(), QString(QDir::separator()) + QChar(0x200B));
    const QFontMetrics metrics = lblPool->fontMetrics();
    if (metrics.boundingRect(QRect(0, 0, lblPool->width(), 1000), Qt::TextWordWrap, text).height() > lblPool->height())
        text = metrics.elidedText(path, Qt::ElideMiddle, lblPool->width());
    lblPool->setText(text);
}

void TfrmSplash::SetSplashStatus(const QString& text)
{
    lblStatus->setText(text);
    repaint();  // visible while start-up goes on without the event loop
}

int TfrmSplash::exec()
{
    m_asDialog = true;
    return QDialog::exec();
}

void TfrmSplash::imgLogoClick()
{
    if (m_asDialog) accept();
}

void TfrmSplash::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) imgLogoClick();
}

void TfrmSplash::paintEvent(QPaintEvent*)
{
    // A basketball carrying the program's name, on white.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    PaintBall(p, QRectF(rect()));
    // The name across the upper half.
    QFont title(QStringLiteral("Arial Black"));
    title.setPixelSize(34);
    title.setBold(true);
    title.setItalic(true);
    p.setFont(title);
    const QRectF band(10, 70, Side - 20, 56);
    p.setPen(QColor(30, 10, 0));
    p.drawText(band.translated(2, 2), Qt::AlignCenter, QStringLiteral("the Hoopfall"));
    p.setPen(Qt::white);
    p.drawText(band, Qt::AlignCenter, QStringLiteral("the Hoopfall"));
}
