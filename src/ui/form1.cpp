#include "ui/form1.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QPushButton>
#include <QSlider>
#include <tuple>

#include "document/sentences.h"
#include "model/numeric.h"
#include "model/palette.h"
#include "ui/canvas_widget.h"
#include "ui/caption_mark.h"
#include "ui/colour_button.h"
#include "ui/dialogs.h"
#include "ui/more_menu.h"
#include "ui/preview_link.h"
#include "ui/program_text.h"
#include "ui/readout.h"
#include "ui/text_box.h"
#include "ui/work_files.h"

namespace pasdraw {

namespace {

enum class ControlType { Button, Colour, Text, Slider };

// One row per control, in tab order: its name, type, caption and rectangle in
// twips of the client area, and what it is bound to.
struct ControlRow {
    const char* name;
    ControlType type;
    const char* caption;
    int left, top, width, height;
    QPushButton* Form1::*button = nullptr;
    void (Form1::*click)() = nullptr;
    int16_t tool = 0;  // the Kind a drawing tool's button chooses
    QSlider* Form1::*slider = nullptr;
    int maximum = 0;
    void (Form1::*change)() = nullptr;
};

// A drawing tool's button: its caption and tool number come from the kind's
// row; where it sits, in the layout and in the tab order, is the window's.
constexpr ControlRow toolRow(Kind kind, const char* name, int left, int top, int width, int height,
                             QPushButton* Form1::*button) {
    ControlRow row{name, ControlType::Button, kindInfo(kind).caption, left, top, width, height, button};
    row.tool = static_cast<int16_t>(kind);
    return row;
}

constexpr ControlRow Controls[] = {
    toolRow(Kind::Line, "Command1", 6480, 120, 1575, 255, &Form1::Command1),
    {"Text1", ControlType::Text, nullptr, 120, 4920, 6135, 2895},
    toolRow(Kind::Rectangle, "Command2", 6480, 480, 1575, 255, &Form1::Command2),
    toolRow(Kind::Ellipse, "Command3", 6480, 840, 1575, 255, &Form1::Command3),
    toolRow(Kind::Circle, "Command4", 6480, 1200, 1575, 255, &Form1::Command4),
    {"Command5", ControlType::Button, "Undo", 6480, 2280, 1575, 255, &Form1::Command5,
     &Form1::Command5_Click},
    // The palette column: Command7..Command21 in the order of the palette table, 360 twips apart.
    {"Command7", ControlType::Colour, nullptr, 8280, 120, 1215, 255},
    {"Command22", ControlType::Button, "Generate", 8280, 6240, 1215, 255, &Form1::Command22,
     &Form1::Command22_Click},
    toolRow(Kind::Fill, "Command6", 6480, 1560, 1575, 315, &Form1::Command6),
    {"Command23", ControlType::Button, "Save", 8280, 6600, 1215, 255, &Form1::Command23,
     &Form1::Command23_Click},
    {"Command24", ControlType::Button, "Value", 8280, 5880, 1215, 255, &Form1::Command24,
     &Form1::Command24_Click},
    {"Slider1", ControlType::Slider, nullptr, 6480, 7080, 2895, 255, nullptr, nullptr, 0, &Form1::Slider1,
     640, &Form1::Slider1_Change},
    {"Slider2", ControlType::Slider, nullptr, 6480, 7560, 2895, 255, nullptr, nullptr, 0, &Form1::Slider2,
     480, &Form1::Slider2_Change},
    {"Command25", ControlType::Button, "Text", 6480, 1920, 1575, 255, &Form1::Command25},  // no action
    // Added to the layout in its free area, below the readout.
    {"previewButton", ControlType::Button, "Preview", 6480, 6240, 1575, 255, &Form1::previewButton,
     &Form1::togglePreview},
    {"fromTextButton", ControlType::Button, "Picture from text", 6480, 6600, 1575, 255,
     &Form1::fromTextButton},
    {"fileButton", ControlType::Button, "File", 6480, 5880, 1575, 255, &Form1::fileButton},
    {"selectButton", ControlType::Button, "Select", 6480, 2640, 1575, 255, &Form1::selectButton, nullptr,
     Document::SelectTool},
    // The tools and styles that came later, in a menu; the readout moved down for it.
    {"moreButton", ControlType::Button, "More", 6480, 3000, 1575, 255, &Form1::moreButton},
};

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("pasdraw"));
    scale_ = {1440.0f / static_cast<float>(logicalDpiX()), 1440.0f / static_cast<float>(logicalDpiY())};
    // Rounded like the canvas image, so at 1:1 the image covers the client area exactly.
    setFixedSize(QSize(twipsToPixel(static_cast<float>(ClientWidthTwips), scale_.x),
                       twipsToPixel(static_cast<float>(ClientHeightTwips), scale_.y)));
    setBlackWithFont(this, scale_.fontPixels(165.0f, 9));

    // The canvas image has device-pixel resolution.
    const auto ratio = static_cast<float>(devicePixelRatioF());
    document_ = std::make_unique<Document>(scale_.x / ratio, scale_.y / ratio);
    // The canvas is made first, so every control lies above it.
    canvas_ = new CanvasWidget(*document_, scale_.x, scale_.y, this);
    canvas_->setGeometry(rect());
    buildControls();
    programText_ = new ProgramText(*document_, Text1, Slider1, Slider2, this);
    files_ = new WorkFiles(*document_, *programText_, Text1, fileButton, this);
    files_->setShowPreview([this] { preview_->open(); });
    askReplace_ = [this](const QString& question) { return askYes(this, question); };
    tellRefused_ = [this](const QString& message) { tell(this, message); };
    document_->subscribe([this](Changes changes) {
        if ((changes & (CapacityChanged | TitleChanged)) != 0)
            setWindowTitle(QString::fromStdString(pasdraw::windowTitle(*document_)));
    });
    captionMark_ = new CaptionMark(*document_, this, Text1);
    connectControls();
}

// The controls refer to the document, which as a member would go before them.
Form1::~Form1() { qDeleteAll(findChildren<QObject*>(Qt::FindDirectChildrenOnly)); }

void Form1::buildControls() {
    QWidget* previous = nullptr;
    for (const ControlRow& row : Controls) {
        QWidget* w = nullptr;
        switch (row.type) {
            case ControlType::Button: w = this->*row.button = makeButton(row.caption, this); break;
            case ControlType::Colour:
                for (std::size_t i = 0; i < Palette.size(); ++i) {
                    const QRect r =
                        scale_.rect(row.left, row.top + 360 * static_cast<int>(i), row.width, row.height);
                    w = paletteButtons.at(i) = makeColourButton(Palette.at(i), r, this);
                    w->setObjectName(QStringLiteral("Command%1").arg(7 + i));
                    if (previous != nullptr) QWidget::setTabOrder(previous, w);
                    previous = w;
                }
                continue;
            case ControlType::Text: w = Text1 = makeTextBox(scale_, this); break;
            case ControlType::Slider: w = this->*row.slider = makeSlider(row.maximum, this); break;
        }
        w->setObjectName(QString::fromLatin1(row.name));
        w->setGeometry(scale_.rect(row.left, row.top, row.width, row.height));
        if (previous != nullptr) QWidget::setTabOrder(previous, w);
        previous = w;
    }

    // The two grey lines framing the palette column.
    std::tie(Line1, Line2) = makePaletteFrame(scale_, this);

    // The readout fills the free black area under the tool buttons.
    readout_ = new Readout(*document_, Text1, this);
    readout_->setFont(fontOfSize(font(), scale_.fontPixels(150.0f, 8)));
    readout_->setGeometry(scale_.rect(6480, 3360, 1575, 2400));
    preview_ = new PreviewLink(this, Text1, previewButton);
}

void Form1::connectControls() {
    // The chosen tool shows as pressed: the group is exclusive.
    auto* tools = new QButtonGroup(this);
    for (const ControlRow& row : Controls) {
        if (row.tool != 0) {
            QPushButton* b = this->*row.button;
            b->setCheckable(true);
            tools->addButton(b);
            connect(b, &QPushButton::clicked, this, [this, t = row.tool] { document_->selectTool(t); });
        }
        if (row.click != nullptr) connect(this->*row.button, &QPushButton::clicked, this, row.click);
        if (row.change != nullptr) connect(this->*row.slider, &QSlider::valueChanged, this, row.change);
    }
    more_ = new MoreMenu(*document_, moreButton);
    tools->addButton(moreButton);
    for (ColourButton* b : paletteButtons)
        connect(b, &QPushButton::clicked, this, [this, b] { selectColour(b); });
    connect(fromTextButton, &QPushButton::clicked, this, &Form1::pictureFromText);

    connectKeys();
    selectColour(paletteButtons[0]);
}

void Form1::selectColour(ColourButton* button) {
    // Shift: the colour a picked fill stops at, rather than its fill colour.
    const bool border = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    document_->selectColour(button->colorIndex(), button->BackColor(), border);
    // Recolouring a picked shape keeps the picture's keys on the picture.
    if (document_->selection()) canvas_->setFocus(Qt::OtherFocusReason);
    for (ColourButton* b : paletteButtons) b->setCurrent(b == button);
}

void Form1::Command5_Click() { document_->undo(); }
void Form1::redo() { document_->redo(); }
void Form1::Command22_Click() { programText_->generate(); }
void Form1::Command23_Click() { programText_->save(); }
void Form1::Command24_Click() { programText_->value(); }
void Form1::Slider1_Change() { programText_->sliderChanged(true); }
void Form1::Slider2_Change() { programText_->sliderChanged(false); }
PreviewWindow& Form1::preview() { return preview_->window(); }
void Form1::togglePreview() { preview_->toggle(); }
void Form1::closePreview() { preview_->close(); }

bool Form1::pictureFromText() {
    const Document::ImportOutcome outcome = document_->pictureFromText(
        Text1->text().toStdString(),
        [this](const std::string& q) { return askReplace_(QString::fromStdString(q)); });
    if (!outcome.refusal.empty()) tellRefused_(QString::fromStdString(outcome.refusal));
    return outcome.replaced;
}

void Form1::closeEvent(QCloseEvent* event) {
    // A failed save has said why; the window stays open with the work.
    event->setAccepted(files_->mayDiscard());
    if (!event->isAccepted()) return;
    files_->closed();
    closePreview();
}

}  // namespace pasdraw
