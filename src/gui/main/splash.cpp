#include "gui/main/splash.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "core/pool/brand.h"
#include "gui/main/ball_art.h"
#include "gui/main/help_page.h"
#include "gui/main/startup.h"
#include "gui/widgets/app_fonts.h"
#include "version.h"

QString formatVersion(int major, int minor, int release)
{
    return QStringLiteral("%1.%2%3").arg(major).arg(minor).arg(release);
}

QString getFileVersionText(const QString& path)
{
    if (!QFileInfo::exists(path)) return QStringLiteral("File not found");
    // The program carries the build's version; there is no resource to read on this platform.
    return formatVersion(version::Major, version::Minor, version::Patch);
}

QUrl helpPageUrl() { return QUrl::fromLocalFile(helpPageFile()); }

namespace {
// How long start-up waits at most for the window system to show the splash.
constexpr int ExposeWaitMs = 2000;

// Ends a wait once the window it watches is on the screen.
class ExposeWatch final : public QObject {
public:
    explicit ExposeWatch(QEventLoop& loop) : m_loop(loop) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) m_loop.quit();
        return false;
    }

private:
    QEventLoop& m_loop;
};

// The window is the circle inscribed in this square, in pixels at 96 dpi.
constexpr int WindowSide = 278;
const QColor LegalColour = Qt::white;
const QColor StatusColour = Qt::yellow;

// The logo: a basketball carrying the program's name, on white.
constexpr int TitlePixels = 34;
constexpr QPointF TitleShadowOffset{2, 2};
const QRectF TitleBand(10, 70, WindowSide - 20, 56);
const QColor TitleShadowColour(30, 10, 0);

QPixmap logoPicture(qreal pixelRatio)
{
    QPixmap picture(QSize(WindowSide, WindowSide) * pixelRatio);
    picture.setDevicePixelRatio(pixelRatio);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    // The ball is the program's icon, so the desktop and the splash show the same picture.
    paintBall(p, QRectF(0, 0, WindowSide, WindowSide));
    // The name across the upper half, over its shadow.
    QFont title(QStringLiteral("Arial Black"));
    title.setPixelSize(TitlePixels);
    title.setWeight(QFont::Black);  // the heaviest weight the face has
    title.setItalic(true);
    p.setFont(title);
    const QString name = QString::fromUtf8(brand::ProductName);
    p.setPen(TitleShadowColour);
    p.drawText(TitleBand.translated(TitleShadowOffset), Qt::AlignCenter, name);
    p.setPen(Qt::white);
    p.drawText(TitleBand, Qt::AlignCenter, name);
    return picture;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QColor& colour, bool wrap)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignHCenter | (wrap ? Qt::AlignTop : Qt::AlignVCenter));
    label->setWordWrap(wrap);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);  // a click on a label is a click on the picture
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    QFont font(screenFace(QStringLiteral("MS Sans Serif")));
    font.setPixelSize(DialogFontPixels);
    label->setFont(font);
    return label;
}
}  // namespace

SplashWindow::SplashWindow(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("SplashWindow"));
    // It shows no title, but a task bar may: the program's, not the application's name Qt would
    // fall back on, which is the desktop's id.
    setWindowTitle(QString::fromLatin1(ApplicationTitle));
    setFixedSize(WindowSide, WindowSide);
    setMask(QRegion(0, 0, WindowSide, WindowSide, QRegion::Ellipse));

    // Created first, so the labels stand on it; clicks pass through it to the window.
    m_logo = new QLabel(this);
    m_logo->setObjectName(QStringLiteral("imgLogo"));
    m_logo->setPixmap(logoPicture(devicePixelRatioF()));
    m_logo->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_legalLabel = makeLabel(this, "lblLegal", LegalColour, true);
    m_legalLabel->setText(QStringLiteral("Version ") + getFileVersionText(QCoreApplication::applicationFilePath()) +
                          QStringLiteral(" ") + QString::fromUtf8(brand::SponsorNotice));
    m_statusLabel = makeLabel(this, "lblStatus", StatusColour, false);
    m_poolLabel = makeLabel(this, "lblPool", LegalColour, true);  // empty until the About box names the pool

    m_layout.within(this, {
                              {m_logo, {0, 0, WindowSide, WindowSide}},
                              {m_legalLabel, {56, 224, 171, 43}},
                              {m_statusLabel, {16, 144, 249, 19}},
                              {m_poolLabel, {24, 166, 230, 56}},
                          });
    applyLayout(m_layout);
    if (const QScreen* screen = this->screen()) move(screen->geometry().center() - rect().center());
}

void SplashWindow::showPoolFolder(const QString& folder)
{
    // A path has no spaces to wrap at: let it break after each separator, and shorten it in the
    // middle only when it still does not fit.
    const QString path = QStringLiteral("Pool: ") + QDir::toNativeSeparators(folder);
    QString text = QString(path).replace(QDir::separator(), QString(QDir::separator()) + QChar(0x200B));
    const QFontMetrics metrics = m_poolLabel->fontMetrics();
    if (metrics.boundingRect(QRect(0, 0, m_poolLabel->width(), 1000), Qt::TextWordWrap, text).height() >
        m_poolLabel->height())
        text = metrics.elidedText(path, Qt::ElideMiddle, m_poolLabel->width());
    m_poolLabel->setText(text);
}

void SplashWindow::showAtStartUp()
{
    show();
    // Nothing painted reaches the screen before the window system has mapped the window, which it
    // does in its own time; start-up goes on without the event loop, so wait for that here,
    // handling no input meanwhile, and paint at once.
    QWindow* window = windowHandle();
    if (window && !window->isExposed()) {
        QEventLoop loop;
        ExposeWatch watch(loop);
        window->installEventFilter(&watch);
        QTimer::singleShot(ExposeWaitMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        window->removeEventFilter(&watch);
    }
    repaint();
}

void SplashWindow::setSplashStatus(const QString& text)
{
    m_statusLabel->setText(text);
    repaint();  // visible while start-up goes on without the event loop
}

int SplashWindow::exec()
{
    m_asDialog = true;
    return QDialog::exec();
}

void SplashWindow::onLogoClicked()
{
    if (m_asDialog) accept();
}

void SplashWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) onLogoClicked();
}
