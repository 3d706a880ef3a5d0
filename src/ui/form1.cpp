#include "ui/form1.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFontDatabase>
#include <QFrame>
#include <QImage>
#include <QKeySequence>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolTip>
#include <bit>
#include <cmath>
#include <string_view>

#include "codegen/codegen.h"
#include "model/numeric.h"
#include "model/palette.h"
#include "ui/colour_button.h"
#include "ui/text_box.h"

// The canvas buffer holds 0x00BBGGRR words, which is QImage::Format_RGBX8888
// byte for byte only on little-endian machines.
static_assert(std::endian::native == std::endian::little, "the canvas image layout assumes little-endian");

namespace pasdraw {

namespace {

const char* plural(Kind kind) {
    switch (kind) {
        case Kind::Line: return "lines";
        case Kind::Rectangle: return "rectangles";
        case Kind::Ellipse: return "ellipses";
        case Kind::Circle: return "circles";
        case Kind::Fill: return "fills";
    }
    return "shapes";
}

int mouseButton(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton: return 1;
        case Qt::RightButton: return 2;
        case Qt::MiddleButton: return 4;
        default: return 0;
    }
}

int shiftState(Qt::KeyboardModifiers m) {
    return (m.testFlag(Qt::ShiftModifier) ? 1 : 0) | (m.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (m.testFlag(Qt::AltModifier) ? 4 : 0);
}

QString fromAscii(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("pasdraw"));
    twipsPerLogicalX_ = 1440.0f / static_cast<float>(logicalDpiX());
    twipsPerLogicalY_ = 1440.0f / static_cast<float>(logicalDpiY());
    devicePixelRatio_ = devicePixelRatioF();
    const auto ratio = static_cast<float>(devicePixelRatio_);
    surface_ = std::make_unique<RasterSurface>(twipsPerLogicalX_ / ratio, twipsPerLogicalY_ / ratio);
    // A Refresh during a repaint only schedules one update; Qt coalesces them.
    surface_->setRefreshHandler([this] { update(); });
    editor_ = std::make_unique<Editor>(picture_, *surface_);

    // Rounded like the canvas image, so at 1:1 the image covers the client area exactly.
    setFixedSize(QSize(twipsToPixel(static_cast<float>(ClientWidthTwips), twipsPerLogicalX_),
                       twipsToPixel(static_cast<float>(ClientHeightTwips), twipsPerLogicalY_)));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    QFont f = font();
    f.setPixelSize(std::max(9, static_cast<int>(std::lround(165.0f / twipsPerLogicalY_))));
    setFont(f);

    appDir_ = QCoreApplication::applicationDirPath();
    reportError_ = [this](const QString& message) {
        QMessageBox::warning(this, QStringLiteral("pasdraw"), message);
    };

    buildControls();
    editor_->Form_Load();
}

Form1::~Form1() = default;

QRect Form1::twipsRect(int left, int top, int width, int height) const {
    const auto px = [](int twips, float per) {
        return static_cast<int>(std::lround(static_cast<float>(twips) / per));
    };
    return {px(left, twipsPerLogicalX_), px(top, twipsPerLogicalY_), px(width, twipsPerLogicalX_),
            px(height, twipsPerLogicalY_)};
}

QPushButton* Form1::addButton(const char* name, const QString& caption, int left, int top, int width,
                              int height) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(twipsRect(left, top, width, height));
    b->setAutoDefault(false);
    return b;
}

void Form1::buildControls() {
    Command1 = addButton("Command1", QStringLiteral("Line"), 6480, 120, 1575, 255);
    Text1 = new TextBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipsRect(120, 4920, 6135, 2895));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Program text reads best one statement to a line, so no wrapping.
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(std::max(9, static_cast<int>(std::lround(180.0f / twipsPerLogicalY_))));
    Text1->setFont(mono);
    Command2 = addButton("Command2", QStringLiteral("Rectangle"), 6480, 480, 1575, 255);
    Command3 = addButton("Command3", QStringLiteral("Ellipse"), 6480, 840, 1575, 255);
    Command4 = addButton("Command4", QStringLiteral("Circle"), 6480, 1200, 1575, 255);
    Command5 = addButton("Command5", QStringLiteral("Undo"), 6480, 2280, 1575, 255);
    for (std::size_t i = 0; i < paletteButtons.size(); ++i) {
        const QByteArray name = "Command" + QByteArray::number(static_cast<int>(i) + 7);
        auto* b = new ColourButton(Palette[i].index, Palette[i].rgb, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(twipsRect(8280, 120 + 360 * static_cast<int>(i), 1215, 255));
        b->setAutoDefault(false);
        b->setToolTip(QString::fromLatin1(Palette[i].name));
        connect(b, &QPushButton::clicked, this, [this, b] { selectColour(b); });
        paletteButtons[i] = b;
    }
    Command22 = addButton("Command22", QStringLiteral("Generate"), 8280, 6240, 1215, 255);
    Command6 = addButton("Command6", QStringLiteral("Fill"), 6480, 1560, 1575, 315);
    Command23 = addButton("Command23", QStringLiteral("Save"), 8280, 6600, 1215, 255);
    Command24 = addButton("Command24", QStringLiteral("Value"), 8280, 5880, 1215, 255);
    const auto makeSlider = [this](const char* name, int top, int maximum) {
        auto* s = new QSlider(Qt::Horizontal, this);
        s->setObjectName(QString::fromLatin1(name));
        s->setGeometry(twipsRect(6480, top, 2895, 255));
        s->setRange(0, maximum);
        s->setSingleStep(1);
        s->setPageStep(5);
        s->setValue(0);
        return s;
    };
    Slider1 = makeSlider("Slider1", 7080, 640);
    Slider2 = makeSlider("Slider2", 7560, 480);
    Command25 = addButton("Command25", QStringLiteral("Text"), 6480, 1920, 1575, 255);

    const auto makeLine = [this](const char* name, QRect r) {
        auto* l = new QFrame(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(r);
        QPalette linePalette = l->palette();
        linePalette.setColor(QPalette::Window, QColor(128, 128, 128));
        l->setPalette(linePalette);
        l->setAutoFillBackground(true);
        return l;
    };
    const QRect corner = twipsRect(8160, 5520, 0, 0);
    Line1 = makeLine("Line1", QRect(corner.x(), twipsRect(0, 120, 0, 0).y(), 1,
                                    corner.y() - twipsRect(0, 120, 0, 0).y() + 1));
    Line2 =
        makeLine("Line2", QRect(corner.x(), corner.y(), twipsRect(9600, 0, 0, 0).x() - corner.x() + 1, 1));

    // Tab order as the controls were laid out.
    QWidget* order[] = {Command1, Text1, Command2, Command3, Command4, Command5};
    QWidget* previous = nullptr;
    const auto chain = [&previous](QWidget* w) {
        if (previous != nullptr) QWidget::setTabOrder(previous, w);
        previous = w;
    };
    for (QWidget* w : order) chain(w);
    for (QPushButton* b : paletteButtons) chain(b);
    for (QWidget* w :
         {static_cast<QWidget*>(Command22), static_cast<QWidget*>(Command6), static_cast<QWidget*>(Command23),
          static_cast<QWidget*>(Command24), static_cast<QWidget*>(Slider1), static_cast<QWidget*>(Slider2),
          static_cast<QWidget*>(Command25)}) {
        chain(w);
    }

    // The chosen tool shows as pressed.
    auto* tools = new QButtonGroup(this);
    tools->setExclusive(true);
    const std::pair<QPushButton*, int16_t> toolButtons[] = {
        {Command1, 1}, {Command2, 2}, {Command3, 3}, {Command4, 4}, {Command6, 5}};
    for (const auto& [button, tool] : toolButtons) {
        button->setCheckable(true);
        tools->addButton(button);
        const int16_t t = tool;
        connect(button, &QPushButton::clicked, this, [this, t] { selectTool(t); });
    }

    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command22, &QPushButton::clicked, this, &Form1::Command22_Click);
    connect(Command23, &QPushButton::clicked, this, &Form1::Command23_Click);
    connect(Command24, &QPushButton::clicked, this, &Form1::Command24_Click);
    // Command25 "Text" has no action.
    connect(Slider1, &QSlider::valueChanged, this, &Form1::Slider1_Change);
    connect(Slider2, &QSlider::valueChanged, this, &Form1::Slider2_Change);

    // Shortcuts; inside the text box its own editing keys take precedence.
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this, &Form1::Command5_Click);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this), &QShortcut::activated, this,
            &Form1::Command22_Click);
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, &Form1::Command23_Click);

    selectColour(paletteButtons[0]);
}

void Form1::selectTool(int16_t tool) { editor_->selectTool(tool); }

void Form1::selectColour(ColourButton* button) {
    editor_->selectColour(button->colorIndex(), button->BackColor());
    for (ColourButton* b : paletteButtons) b->setCurrent(b == button);
}

void Form1::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // At a fractional device pixel ratio the image can fall a fraction of a
    // pixel short of the widget; that sliver stays black like the window.
    painter.fillRect(rect(), Qt::black);
    // Wrap the canvas buffer as it is: no copy, no conversion. RGBX keeps the
    // unused top byte out of any alpha handling.
    QImage image(reinterpret_cast<const uchar*>(surface_->bits()), surface_->width(), surface_->height(),
                 static_cast<qsizetype>(surface_->width()) * 4, QImage::Format_RGBX8888);
    image.setDevicePixelRatio(devicePixelRatio_);
    painter.drawImage(QPointF(0, 0), image);
}

void Form1::afterCanvasEvent() {
    if (surface_->takeChanged()) update();
}

void Form1::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    editor_->Form_MouseDown(mouseButton(event->button()), shiftState(event->modifiers()), toTwipsX(p.x()),
                            toTwipsY(p.y()));
    afterCanvasEvent();
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    const float x = toTwipsX(p.x()), y = toTwipsY(p.y());
    editor_->Form_MouseMove(mouseButton(event->button()), shiftState(event->modifiers()), x, y);
    // A cross-hair where a press would draw, the usual arrow elsewhere.
    const Qt::CursorShape shape = Editor::outsideCanvas(x, y) ? Qt::ArrowCursor : Qt::CrossCursor;
    if (cursor().shape() != shape) setCursor(shape);
    afterCanvasEvent();
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    const ReleaseResult result = editor_->Form_MouseUp(
        mouseButton(event->button()), shiftState(event->modifiers()), toTwipsX(p.x()), toTwipsY(p.y()));
    if (result.refused) {
        tellListFull(*result.refused);
    } else if (result.committed) {
        clearCapacityNote();
    }
    afterCanvasEvent();
}

void Form1::tellListFull(Kind kind) {
    // No dialog: a beep, the caption and a tooltip at the pointer say it at once
    // and leave every control where it is.
    QApplication::beep();
    capacityNote_ = QStringLiteral(
                        "No room for another %1: the picture already holds %2 %3, the most it can. "
                        "Undo one to make room.")
                        .arg(QString::fromLatin1(kindName(kind)))
                        .arg(ListCapacity)
                        .arg(QString::fromLatin1(plural(kind)));
    setWindowTitle(
        QStringLiteral("pasdraw - %1 %2, no room for another").arg(ListCapacity).arg(plural(kind)));
    QToolTip::showText(QCursor::pos(), capacityNote_, this);
}

void Form1::clearCapacityNote() {
    if (capacityNote_.isEmpty()) return;
    capacityNote_.clear();
    setWindowTitle(QStringLiteral("pasdraw"));
    QToolTip::hideText();
}

void Form1::Command5_Click() {
    editor_->Command5_Click();
    clearCapacityNote();
    afterCanvasEvent();
}

void Form1::Command22_Click() { Text1->setText(fromAscii(generateAbsolute(picture_))); }

void Form1::Command24_Click() {
    const Origin origin = computeOrigin(picture_);
    XK_ = origin.XK;
    YK_ = origin.YK;
    Text1->setText(fromAscii(generateValueForm(picture_, origin)));
    // Moving the sliders here must not run their handlers: the text stays in
    // this form and the origin keeps its computed values even where a slider
    // clamps them (1000 for an empty picture, negative origins).
    const QSignalBlocker block1(Slider1);
    const QSignalBlocker block2(Slider2);
    Slider1->setValue(origin.XK);
    Slider2->setValue(origin.YK);
}

void Form1::Slider1_Change() { sliderChanged(true); }
void Form1::Slider2_Change() { sliderChanged(false); }

void Form1::sliderChanged(bool x) {
    if (x) {
        XK_ = Slider1->value();
    } else {
        YK_ = static_cast<int16_t>(Slider2->value());  // 0..480 fits
    }
    Text1->setText(fromAscii(generateSliderForm(picture_, XK_, YK_)));
}

QString Form1::programFilePath() const {
    QString dir = appDir_;
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir + QStringLiteral("test.pas");
}

void Form1::Command23_Click() {
    const QString path = programFilePath();
    const QByteArray text = Text1->text().toLocal8Bit();
    const std::string bytes =
        programFileBytes(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    // QSaveFile writes a temporary file and renames it over the old one, so a
    // failure never leaves a truncated test.pas behind.
    QSaveFile file(path);
    const auto fail = [&](const QString& reason) {
        reportError_(
            QStringLiteral("The program could not be saved to %1.\n\n%2\n\nYour picture and text are "
                           "unchanged, and any earlier test.pas is as it was.")
                .arg(QDir::toNativeSeparators(path), reason));
    };
    if (!file.open(QIODevice::WriteOnly)) {
        fail(file.errorString());
        return;
    }
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        const QString reason = file.errorString();
        file.cancelWriting();
        fail(reason);
        return;
    }
    if (!file.commit()) fail(file.errorString());
}

}  // namespace pasdraw
