#include "ui/preview_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include "ui/run_image.h"

namespace pasdraw {

namespace {

constexpr int StatusHeight = 40;
constexpr int StepBarHeight = 32;

StepRecord runText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    // Who painted which pixel is found only when asked: it costs some twenty
    // times the run.
    return recordRun(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), false);
}

QPushButton* stepButton(QWidget* parent, const QString& label, const QString& tip) {
    auto* b = new QPushButton(label, parent);
    b->setToolTip(tip);
    // The window keeps the keys: arrows step, they do not move between buttons.
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedWidth(36);
    return b;
}

}  // namespace

PreviewWindow::PreviewWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      runs_(pool_, runText, [this](const QString&, StepRecord record) { finished(std::move(record)); }),
      cuts_(
          pool_, [](const Cut& cut) { return runPreviewCut(cut.text, cut.n); },
          [this](const Cut& cut, const PreviewRun& run) { cutFinished(cut, run); }),
      owners_(
          pool_, [](const std::string& text) { return recordRun(text, true); },
          [this](const std::string&, StepRecord found) { ownersFound(std::move(found)); }) {
    setObjectName(QStringLiteral("preview"));
    setWindowTitle(QStringLiteral("pasdraw - program preview"));
    // A cleared screen until the first run.
    PreviewRun cleared;
    cleared.pixels.assign(static_cast<std::size_t>(PreviewRun::Width) * PreviewRun::Height, 0);
    cleared.palette = StandardPalette;
    indexed_ = indexedImage(cleared);
    image_ = indexed_.convertToFormat(QImage::Format_RGB32);
    imagePath_ = QDir::home().filePath(QStringLiteral("picture.png"));
    saveImageAction_ = new QAction(QStringLiteral("Save image\u2026"), this);
    saveImageAction_->setShortcut(QKeySequence::Save);
    // Only while this window is active: in the main window Ctrl+S saves the program.
    saveImageAction_->setShortcutContext(Qt::WindowShortcut);
    connect(saveImageAction_, &QAction::triggered, this, &PreviewWindow::saveImageAs);
    addAction(saveImageAction_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("previewStatus"));
    status_->setWordWrap(true);
    status_->setTextFormat(Qt::PlainText);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    status_->setContentsMargins(4, 0, 4, 0);
    pool_.setMaxThreadCount(1);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("stepBar"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    playButton_ = new QPushButton(QStringLiteral("Play"), bar);
    playButton_->setObjectName(QStringLiteral("play"));
    playButton_->setToolTip(
        QStringLiteral("Run the program in real time, delays included; click again to stop"));
    playButton_->setFocusPolicy(Qt::NoFocus);
    connect(playButton_, &QPushButton::clicked, this, [this] { playing() ? stopPlay() : play(); });
    row->addWidget(playButton_);
    QPushButton* first =
        stepButton(bar, QStringLiteral("|<"), QStringLiteral("Before the first statement (Home)"));
    QPushButton* back = stepButton(bar, QStringLiteral("<"), QStringLiteral("One statement back (Left)"));
    QPushButton* forward = stepButton(bar, QStringLiteral(">"), QStringLiteral("One statement on (Right)"));
    QPushButton* last = stepButton(bar, QStringLiteral(">|"), QStringLiteral("The finished picture (End)"));
    connect(first, &QPushButton::clicked, this, [this] { setStep(0); });
    connect(back, &QPushButton::clicked, this, [this] { setStep(step() > 0 ? step() - 1 : 0); });
    connect(forward, &QPushButton::clicked, this, [this] { setStep(step() + 1); });
    connect(last, &QPushButton::clicked, this, [this] { setStep(statements()); });
    stepSlider_ = new QSlider(Qt::Horizontal, bar);
    stepSlider_->setObjectName(QStringLiteral("stepSlider"));
    stepSlider_->setFocusPolicy(Qt::NoFocus);
    stepSlider_->setToolTip(
        QStringLiteral("The picture after this many statements (Left, Right, Home, End)"));
    stepSpin_ = new QSpinBox(bar);
    stepSpin_->setObjectName(QStringLiteral("stepSpin"));
    stepSpin_->setFocusPolicy(Qt::ClickFocus);
    stepSpin_->setToolTip(stepSlider_->toolTip());
    stepOf_ = new QLabel(bar);
    connect(stepSlider_, &QSlider::valueChanged, this, [this](int v) { setStep(static_cast<uint64_t>(v)); });
    connect(stepSpin_, &QSpinBox::valueChanged, this, [this](int v) { setStep(static_cast<uint64_t>(v)); });
    row->addWidget(first);
    row->addWidget(back);
    row->addWidget(stepSlider_, 1);
    row->addWidget(forward);
    row->addWidget(last);
    row->addWidget(new QLabel(QStringLiteral("after"), bar));
    row->addWidget(stepSpin_);
    row->addWidget(stepOf_);
    setFocusPolicy(Qt::StrongFocus);
    showStepControls();
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::showEvent(QShowEvent*) {
    // One device pixel per screen pixel: the size in logical pixels follows
    // the device pixel ratio of the screen the window is on.
    const qreal ratio = devicePixelRatioF();
    const int w = qRound(PreviewRun::Width / ratio), h = qRound(PreviewRun::Height / ratio);
    setFixedSize(w, h + StepBarHeight + StatusHeight);
    findChild<QWidget*>(QStringLiteral("stepBar"))->setGeometry(0, h, w, StepBarHeight);
    status_->setGeometry(0, h + StepBarHeight, w, StatusHeight);
    emit visibilityChanged(true);
}

void PreviewWindow::hideEvent(QHideEvent*) {
    stopPlay();
    emit visibilityChanged(false);
}

void PreviewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QImage shown = image_;
    shown.setDevicePixelRatio(devicePixelRatioF());
    painter.drawImage(QPointF(0, 0), shown);
}

void PreviewWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("Copy image"));
    connect(copy, &QAction::triggered, this, &PreviewWindow::copyImage);
    menu.addAction(saveImageAction_);
    menu.exec(event->globalPos());
}

void PreviewWindow::copyImage() { QGuiApplication::clipboard()->setImage(image_); }

QString PreviewWindow::saveImage(const QString& path) const { return writePng(indexed_, path); }

void PreviewWindow::saveImageAs() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save image"), imagePath_,
                                                      QStringLiteral("PNG images (*.png)"));
    if (path.isEmpty()) return;
    imagePath_ = path;
    saveImageTo(path);
}

bool PreviewWindow::saveImageTo(const QString& path) {
    const QString failure = saveImage(path);
    if (failure.isEmpty()) {
        // A file dialog closes without a word; the status line says where the image went.
        status_->setText(QStringLiteral("image saved to %1").arg(QDir::toNativeSeparators(path)));
        return true;
    }
    QMessageBox::warning(
        this, QStringLiteral("Save image"),
        QStringLiteral("The image could not be saved to %1:\n%2\n\nA file already there is left as it was.")
            .arg(QDir::toNativeSeparators(path), failure));
    return false;
}

QString PreviewWindow::status() const { return status_->text(); }

void PreviewWindow::showText(const QString& text) {
    // The played program is no longer the text's.
    stopPlay();
    runs_.request(text);
}

void PreviewWindow::finished(StepRecord record) {
    // A new text starts at its finished picture.
    view_.show(std::move(record));
    const PreviewRun& run = view_.record().run;
    cuts_.dropWaiting();
    waitingPick_.reset();
    showStepControls();
    showPicture(run);
    status_->setText(QString::fromStdString(describeRun(run.result)));
    problemLines_.clear();
    for (const ProgramProblem& p : run.result.problems) problemLines_.push_back(p.line);
    ++shownRuns_;
    emit runningLine(0);
    emit shown();
}

void PreviewWindow::waitUntilShown() {
    while (runs_.busy() || cuts_.busy() || owners_.busy()) {
        runs_.waitForFinished();
        cuts_.waitForFinished();
        owners_.waitForFinished();
        QCoreApplication::processEvents();
    }
}

void PreviewWindow::showPicture(const PreviewRun& run) {
    indexed_ = indexedImage(run);
    image_ = indexed_.convertToFormat(QImage::Format_RGB32);
    update();
}

void PreviewWindow::showStepControls() {
    const int m = static_cast<int>(statements());
    const int n = static_cast<int>(step());
    const QSignalBlocker s1(stepSlider_), s2(stepSpin_);
    stepSlider_->setRange(0, m);
    stepSlider_->setValue(n);
    stepSpin_->setRange(0, m);
    stepSpin_->setValue(n);
    stepOf_->setText(QStringLiteral("of %1").arg(m));
}

void PreviewWindow::setStep(uint64_t n) {
    n = std::min(n, statements());
    if (n == step()) return;
    stopPlay();
    view_.setStep(n);
    showStepControls();
    emit runningLine(view_.runningLine());
    if (view_.atEnd()) {
        cuts_.dropWaiting();
        if (!cuts_.busy()) showPicture(view_.record().run);
        return;
    }
    cuts_.request({view_.record().run.text, n});
}

void PreviewWindow::cutFinished(const Cut& cut, const PreviewRun& run) {
    // A step made meanwhile to the finished picture, or a new text, wins.
    if (playing() || run.text != view_.record().run.text) return;
    showPicture(step() == cut.n ? run : view_.record().run);
}

void PreviewWindow::pickPixel(int x, int y) {
    if (view_.ownersKnown()) {
        sayOwner(x, y);
        return;
    }
    waitingPick_ = QPoint(x, y);
    status_->setText(QString::fromStdString(StepView::findingOwner(x, y)));
    if (!owners_.busy()) owners_.request(view_.record().run.text);
}

void PreviewWindow::ownersFound(StepRecord found) {
    // A new text came meanwhile: its owners are found at its first pick.
    if (!view_.takeOwners(std::move(found))) {
        if (waitingPick_) pickPixel(waitingPick_->x(), waitingPick_->y());
        return;
    }
    if (waitingPick_) sayOwner(waitingPick_->x(), waitingPick_->y());
    waitingPick_.reset();
}

void PreviewWindow::sayOwner(int x, int y) {
    const StepView::Pick pick = view_.pick(x, y);
    if (pick.line > 0) emit statementPicked(pick.line, pick.column);
    status_->setText(QString::fromStdString(pick.said));
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left: setStep(step() > 0 ? step() - 1 : 0); break;
        case Qt::Key_Right: setStep(step() + 1); break;
        case Qt::Key_Home: setStep(0); break;
        case Qt::Key_End: setStep(statements()); break;
        default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void PreviewWindow::mousePressEvent(QMouseEvent* event) {
    const qreal ratio = devicePixelRatioF();
    const int x = static_cast<int>(event->position().x() * ratio);
    const int y = static_cast<int>(event->position().y() * ratio);
    if (event->button() != Qt::LeftButton || x < 0 || y < 0 || x >= PreviewRun::Width ||
        y >= PreviewRun::Height) {
        QWidget::mousePressEvent(event);
        return;
    }
    pickPixel(x, y);
}

void PreviewWindow::play() {
    stopPlay();
    PlayThread::Announce announce;
    announce.frameReady = [this] {
        QMetaObject::invokeMethod(
            this, [this] { showFrame(); }, Qt::QueuedConnection);
    };
    announce.ended = [this](int generation) {
        QMetaObject::invokeMethod(
            this, [this, generation] { playEnded(generation); }, Qt::QueuedConnection);
    };
    player_.start(view_.record().run.text, std::move(announce));
    playButton_->setText(QStringLiteral("Stop"));
}

void PreviewWindow::showFrame() {
    const std::optional<PreviewRun> frame = player_.takeFrame();
    if (!frame) return;
    ++playedFrames_;
    showPicture(*frame);
}

void PreviewWindow::playEnded(int generation) {
    if (!player_.ended(generation)) return;
    // The last frame, the screen as the program ends, stays until a step
    // or a new text.
    showFrame();
    playButton_->setText(QStringLiteral("Play"));
}

void PreviewWindow::stopPlay() {
    if (!player_.stop()) return;
    playButton_->setText(QStringLiteral("Play"));
    // Back to the stepped picture.
    if (!view_.atEnd()) {
        cuts_.request({view_.record().run.text, step()});
    } else if (!cuts_.busy()) {
        showPicture(view_.record().run);
    }
}

}  // namespace pasdraw
