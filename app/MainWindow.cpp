#include "app/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QToolTip>

#include <chrono>
#include <utility>

#include "app/AboutBox.h"
#include "app/FileFilters.h"
#include "app/FileToWrite.h"
#include "app/GroupFrame.h"
#include "app/HelpTopics.h"
#include "app/NameField.h"
#include "app/PreviewAdapters.h"
#include "app/SurfaceControls.h"
#include "app/TerrainPreviewWindow.h"
#include "app/view/ViewWindow.h"
#include "core/inputs/ElevationInput.h"
#include "core/platform/Paths.h"
#include "core/inputs/SettingsFile.h"

namespace kv::app {

namespace {

constexpr const char* kWindowTitle = "Kelvane 2.0";
constexpr const char* kSceneDialogTitle = "Choose A Filename For Your Scene . . . ";
constexpr const char* kSceneFilter = "Scenes (*.SCN);;glTF binary (*.glb)";
constexpr const char* kSettingsFilter = "KV Files (*.KV)";

// The inputs a creation disables while it runs; Stop is enabled instead.
constexpr Control kDisabledWhileBusy[] = {
    Control::About,      Control::Help,          Control::Load,     Control::Save,   Control::Create,
    Control::View3D,     Control::Preview,    Control::BaseList,      Control::Cover1List, Control::Cover2List,
    Control::CloudsList, Control::OceanList,     Control::HeightfieldBrowse, Control::PlacementBrowse,
    Control::HeightfieldName, Control::PlacementName, Control::LoRes, Control::MedRes, Control::HiRes,
};

constexpr Control kResolutionBoxes[] = {Control::LoRes, Control::MedRes, Control::HiRes};

QColor ToQColor(const RgbColor& c) { return QColor(c.r, c.g, c.b); }

}  // namespace

RgbColor& ColourOfBox(ProjectSettings& s, int box)
{
    RgbColor* const fields[kColourBoxCount] = {
        &s.basecolor1,   &s.basecolor2,   &s.basecolor3, &s.cover1color1, &s.cover1color2,
        &s.cover1color3, &s.cover2color1, &s.cover2color2, &s.cover2color3, &s.sky,
        &s.cloud,        &s.fog,          &s.ocean,
    };
    return *fields[box];
}

MainWindow::MainWindow(std::string programDirectory, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      programDirectory_(std::move(programDirectory)),
      dialogs_(dialogs),
      settings_(DefaultSettings(programDirectory_)),
      settingsDirectory_(programDirectory_),
      frontEnd_(*this, *this)
{
    setWindowTitle(kWindowTitle);
    // A fixed dialog-like window: minimise box, no maximise box, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientSize());

    buildControls();
    fitFont();
    connectCommands();
    // Sliders, colour boxes and right-click help on the window's surface.
    InstallSurfaceControls(*this, dialogs_);
    showSettings();
    recomputeAtmospherePreview();

    // No control starts with the keyboard focus.
    setFocusPolicy(Qt::ClickFocus);
    setFocus();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), ClientSize());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

MainWindow::~MainWindow() { finishCreationBeforeClosing(); }

void MainWindow::buildControls()
{
    for (const ControlSpec& layoutEntry : Layout()) {
        const QRect pixels = DluToPixels(layoutEntry.dialogUnits);
        const QString caption = QString::fromUtf8(layoutEntry.caption);
        QWidget* widget = nullptr;
        switch (layoutEntry.kind) {
        case ControlKind::GroupBox: widget = new GroupFrame(caption, this); break;
        case ControlKind::ColourFrame:
        case ControlKind::PreviewFrame: widget = NewBlackFrame(this); break;
        case ControlKind::Label:
        case ControlKind::CentredLabel: {
            auto* text = new QLabel(caption, this);
            text->setAlignment(layoutEntry.kind == ControlKind::CentredLabel ? Qt::AlignHCenter | Qt::AlignTop
                                                                      : Qt::AlignLeft | Qt::AlignTop);
            widget = text;
            break;
        }
        case ControlKind::NameField: widget = new NameField(this); break;
        case ControlKind::DropDownList: {
            auto* box = new QComboBox(this);
            for (const char* entry : ListEntries(layoutEntry.id)) box->addItem(QString::fromUtf8(entry));
            box->setMaxVisibleItems(box->count());
            widget = box;
            break;
        }
        case ControlKind::PushButton: {
            auto* push = new QPushButton(caption, this);
            push->setAutoDefault(false);
            widget = push;
            break;
        }
        case ControlKind::CheckBox: widget = new QCheckBox(caption, this); break;
        }
        if (layoutEntry.kind == ControlKind::DropDownList) {
            widget->setGeometry(pixels.x(), pixels.y(), pixels.width(), kDropDownClosedHeight);
        } else {
            widget->setGeometry(pixels);
        }
        // Frames, captions, texts and name fields take no mouse input: the
        // window itself receives presses and right clicks over them.
        switch (layoutEntry.kind) {
        case ControlKind::GroupBox:
        case ControlKind::ColourFrame:
        case ControlKind::PreviewFrame:
        case ControlKind::Label:
        case ControlKind::CentredLabel:
        case ControlKind::NameField: widget->setAttribute(Qt::WA_TransparentForMouseEvents); break;
        default: break;
        }
        controls_[static_cast<std::size_t>(layoutEntry.id)] = widget;
        widget->installEventFilter(this);
    }
    button(Control::Stop)->setEnabled(false);
    updateViewButton();
}

void MainWindow::fitFont()
{
    // The platform's UI font at the largest size (at most the classic 11
    // pixels) at which every list entry, check box caption and bitmap name
    // fits its control.
    QFont windowFont = QGuiApplication::font();
    for (int pixels = kFontPixelSize; pixels >= kSmallestFontPixelSize; --pixels) {
        windowFont.setPixelSize(pixels);
        setFont(windowFont);
        bool fits = true;
        for (const ControlSpec& layoutEntry : Layout()) {
            const QWidget* widget = control(layoutEntry.id);
            switch (layoutEntry.kind) {
            case ControlKind::DropDownList:
            case ControlKind::CheckBox:
            case ControlKind::PushButton: fits = fits && widget->sizeHint().width() <= widget->width(); break;
            case ControlKind::NameField:
                fits = fits && widget->fontMetrics().horizontalAdvance("height01.bmp") + 6 <= widget->width();
                break;
            default: break;
            }
        }
        if (fits) return;
    }
}

QPushButton* MainWindow::button(Control id) const { return static_cast<QPushButton*>(control(id)); }
QComboBox* MainWindow::list(Control id) const { return static_cast<QComboBox*>(control(id)); }
QCheckBox* MainWindow::checkBox(Control id) const { return static_cast<QCheckBox*>(control(id)); }

void MainWindow::connectCommands()
{
    for (Control id : {Control::BaseList, Control::Cover1List, Control::Cover2List, Control::CloudsList,
                       Control::OceanList}) {
        connect(list(id), &QComboBox::currentIndexChanged, this, [this, id](int index) { listChanged(id, index); });
    }
    for (int resolution = 0; resolution < 3; ++resolution) {
        connect(checkBox(kResolutionBoxes[resolution]), &QCheckBox::clicked, this,
                [this, resolution] { setResolution(resolution); });
    }
    connect(button(Control::HeightfieldBrowse), &QPushButton::clicked, this,
            [this] { browseBitmap(BitmapKind::Heightfield); });
    connect(button(Control::PlacementBrowse), &QPushButton::clicked, this,
            [this] { browseBitmap(BitmapKind::Placement); });
    connect(button(Control::Load), &QPushButton::clicked, this, &MainWindow::loadSettings);
    connect(button(Control::Save), &QPushButton::clicked, this, &MainWindow::saveSettings);
    connect(button(Control::Create), &QPushButton::clicked, this, &MainWindow::startCreation);
    connect(button(Control::Stop), &QPushButton::clicked, this, &MainWindow::requestStop);
    connect(button(Control::Preview), &QPushButton::clicked, this, &MainWindow::showTerrainPreview);
    connect(button(Control::View3D), &QPushButton::clicked, this, &MainWindow::showView);
    connect(button(Control::About), &QPushButton::clicked, this, &MainWindow::showAbout);
    connect(button(Control::Help), &QPushButton::clicked, this, &MainWindow::showHelpTopics);
}

// ------------------------------------------------------------------ record

void MainWindow::showSettings()
{
    const std::pair<Control, int> selections[] = {
        {Control::BaseList, settings_.baseindex},         {Control::Cover1List, settings_.cover1index},
        {Control::Cover2List, settings_.cover2index},     {Control::CloudsList, settings_.atmosphereindex},
        {Control::OceanList, settings_.oceanindex},
    };
    for (const auto& [id, index] : selections) {
        // The record is already right; only the list is brought in line.
        const QSignalBlocker quiet(list(id));
        list(id)->setCurrentIndex(index);
    }
    for (int resolution = 0; resolution < 3; ++resolution)
        checkBox(kResolutionBoxes[resolution])->setChecked(resolution == settings_.resolution);
    showBitmapNames();
    update();
    emit settingsShown();
}

void MainWindow::showBitmapNames()
{
    const auto show = [this](Control id, const std::string& directory, const std::string& fileName) {
        const QString path = fileName.empty() ? QString() : ToQString(JoinPath(directory, fileName));
        static_cast<NameField*>(control(id))->setName(ToQString(fileName), path);
    };
    show(Control::HeightfieldName, settings_.basedir, settings_.basebmp);
    show(Control::PlacementName, settings_.treedir, settings_.treebmp);
}

void MainWindow::listChanged(Control id, int index)
{
    switch (id) {
    case Control::BaseList: settings_.baseindex = index; break;
    case Control::Cover1List: settings_.cover1index = index; break;
    case Control::Cover2List: settings_.cover2index = index; break;
    case Control::OceanList: settings_.oceanindex = index; break;
    case Control::CloudsList:
        settings_.atmosphereindex = index;
        recomputeAtmospherePreview();
        break;
    default: break;
    }
    update();
}

void MainWindow::setResolution(int resolution)
{
    // One of three: the clicked box is checked (even when it already was)
    // and the other two cleared.
    settings_.resolution = resolution;
    for (int r = 0; r < 3; ++r) checkBox(kResolutionBoxes[r])->setChecked(r == resolution);
}

void MainWindow::recomputeAtmospherePreview()
{
    PreviewImage result = ComputeAtmospherePreviewImage(programDirectory_, settings_);
    atmospherePreview_ = std::move(result.image);
    update(kAtmospherePreviewRect);
    if (result.failure) dialogs_.message(this, *result.failure);
    emit atmospherePreviewRecomputed();
}

// ------------------------------------------------------------------ commands

std::optional<std::pair<std::string, std::string>> MainWindow::askBitmap(BitmapKind kind,
                                                                         const std::string& directory,
                                                                         const std::string& fileName)
{
    FileDialogRequest request;
    request.title = kind == BitmapKind::Heightfield ? "Open The Bitmap To Be Used For The Heightfield . . ."
                                                    : "Open The Bitmap To Be Used For The Trees & Rocks . . .";
    request.directory = ToQString(directory);
    request.fileName = ToQString(fileName);
    // Any type the program reads: the loaders go by the content, not the name.
    request.filter = kind == BitmapKind::Heightfield ? HeightfieldFilter(ElevationInputAvailable()) : PlacementFilter();
    const std::optional<QString> path = dialogs_.openFile(this, request);
    if (!path) return std::nullopt;
    std::pair<std::string, std::string> choice;
    SplitPath(ToStdString(*path), choice.first, choice.second);
    return choice;
}

void MainWindow::browseBitmap(BitmapKind kind)
{
    // The file is only named here; a preview or creation reads it.
    std::string& directory = kind == BitmapKind::Heightfield ? settings_.basedir : settings_.treedir;
    std::string& fileName = kind == BitmapKind::Heightfield ? settings_.basebmp : settings_.treebmp;
    const auto choice = askBitmap(kind, directory, fileName);
    if (!choice) return;
    directory = choice->first;
    fileName = choice->second;
    showBitmapNames();
}

void MainWindow::loadSettings()
{
    FileDialogRequest request{"Load KV File . . .", ToQString(settingsDirectory_), ToQString(settingsFileName_),
                              kSettingsFilter, {}};
    const std::optional<QString> path = dialogs_.openFile(this, request);
    if (!path) return;
    SplitPath(ToStdString(*path), settingsDirectory_, settingsFileName_);

    SettingsLoadHooks hooks;
    hooks.show = [this](const Message& message) { dialogs_.message(this, message); };
    hooks.offerReplacement = [this](BitmapRole role,
                                    const std::string& initialDirectory) -> std::optional<BitmapChoice> {
        const auto choice = askBitmap(role == BitmapRole::Heightfield ? BitmapKind::Heightfield
                                                                      : BitmapKind::Placement,
                                      initialDirectory, {});
        if (!choice) return std::nullopt;
        return BitmapChoice{choice->first, choice->second};
    };
    if (!LoadSettingsFile(settingsDirectory_, settingsFileName_, programDirectory_, settings_, hooks)) return;
    showSettings();
    recomputeAtmospherePreview();
}

void MainWindow::saveSettings()
{
    FileDialogRequest request{"Save KV File . . .", ToQString(settingsDirectory_), ToQString(settingsFileName_),
                              kSettingsFilter, "kv"};
    const std::optional<QString> path = AskFileToWrite(dialogs_, this, request, SettingsFileNameFor);
    if (!path) return;
    std::string typedName;
    SplitPath(ToStdString(*path), settingsDirectory_, typedName);
    settingsFileName_ = SettingsFileNameFor(typedName);
    if (const std::optional<Message> failure =
            SaveSettingsFile(JoinPath(settingsDirectory_, settingsFileName_), settings_)) {
        dialogs_.message(this, *failure);
    }
}

void MainWindow::showAbout()
{
    AboutBox box(this);
    box.exec();
}

void MainWindow::showHelpTopics() { ShowHelpTopics(this); }

void MainWindow::showView()
{
    if (busy_ || !createdScene_) return;
    if (viewWindow_) viewWindow_->close();
    // Its own window above this one; it deletes itself when closed.
    viewWindow_ = new view::ViewWindow(createdScene_, ToQString(session_.sceneFileName), this);
    viewWindow_->show();
}

void MainWindow::setCreatedScene(std::shared_ptr<const view::ViewScene> scene)
{
    if (busy_ || worker_.joinable()) {
        pendingScene_ = std::move(scene);
    } else {
        createdScene_ = std::move(scene);
        updateViewButton();
    }
}

view::ViewWindow* MainWindow::viewWindow() const { return viewWindow_.data(); }

void MainWindow::updateViewButton() { button(Control::View3D)->setEnabled(!busy_ && createdScene_ != nullptr); }

void MainWindow::showTerrainPreview()
{
    if (busy_) return;
    QPushButton* const previewButton = button(Control::Preview);
    previewButton->setEnabled(false);
    // The wait cursor stays until the preview window has closed.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const PreviewImage result = ComputeTerrainPreviewImage(settings_, programDirectory_, session_.random());
    if (result.failure) {
        // A failed load abandons the preview; the window stays usable.
        QGuiApplication::restoreOverrideCursor();
        dialogs_.message(this, *result.failure);
    } else {
        TerrainPreviewWindow window(result.image, this);
        emit terrainPreviewOpened(&window);
        window.exec();
        QGuiApplication::restoreOverrideCursor();
        emit terrainPreviewClosed();
    }
    previewButton->setEnabled(true);
}

// ------------------------------------------------------------------ creation

void MainWindow::startCreation()
{
    if (busy_) return;
    if (worker_.joinable()) {
        if (!workerDone_.load()) return;
        worker_.join();  // the last job has ended; its thread is finishing
    }
    // The window turns busy before the worker exists, so that no second
    // command (another Create, a Preview sharing the generator) slips in
    // before the job's own request to enter the busy state arrives.
    enterBusy();
    pendingScene_.reset();
    viewAfterCreation_ = false;
    workerDone_.store(false);
    const unsigned generation = ++generation_;
    worker_ = std::thread([this, generation, settings = settings_]() mutable {
        JobOutcome outcome = JobOutcome::Failed;
        try {
            CreationJob job(std::move(settings), session_, frontEnd_, programDirectory_);
            outcome = job.Run();
        } catch (...) {
            // The job's stages report their failures themselves; anything
            // else still has to bring the window back.
            frontEnd_.ShowMessage(Message{"The creation ended because of an unexpected error.", kErrorTitle,
                                          MessageIcon::Error, Modality::SystemModal});
            frontEnd_.ClearStopRequest();
            frontEnd_.LeaveBusy();
        }
        QMetaObject::invokeMethod(
            this, [this, generation, outcome] { workerEnded(generation, outcome); }, Qt::QueuedConnection);
        workerDone_.store(true);
    });
}

void MainWindow::workerEnded(unsigned generation, JobOutcome outcome)
{
    if (generation != generation_) return;
    if (worker_.joinable()) worker_.join();
    if (outcome == JobOutcome::Finished && pendingScene_) createdScene_ = std::move(pendingScene_);
    pendingScene_.reset();
    updateViewButton();
    emit creationEnded(outcome);
    if (std::exchange(viewAfterCreation_, false) && outcome == JobOutcome::Finished) showView();
}

void MainWindow::requestStop()
{
    // Disabled at once, before the job has seen the request.
    button(Control::Stop)->setEnabled(false);
    frontEnd_.RequestStop();
}

void MainWindow::finishCreationBeforeClosing()
{
    if (!worker_.joinable()) return;
    // Ask the job to stop and keep delivering its requests (answered without
    // any dialog) until its end routine has run.
    frontEnd_.BeginShutdown();
    while (!workerDone_.load()) {
        QCoreApplication::sendPostedEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    worker_.join();
    QCoreApplication::sendPostedEvents(this);
}

std::optional<SceneFileChoice> MainWindow::askSceneFile(const std::string& initialDirectory,
                                                        const std::string& initialName)
{
    FileDialogRequest request{kSceneDialogTitle, ToQString(initialDirectory), ToQString(initialName),
                              kSceneFilter, "scn", {"scn", "glb"}};
    // A name ending in .glb asks for the glTF file alone, written under the
    // name as typed; any other name is a scene file's title.
    const auto nameWritten = [](const std::string& typed) {
        return IsGlbFileName(typed) ? typed : SceneFileNameFor(typed);
    };
    const std::optional<QString> path = AskFileToWrite(dialogs_, this, request, nameWritten);
    if (!path) return std::nullopt;
    const QFileInfo file(*path);
    const std::string name = ToStdString(file.fileName());
    if (IsGlbFileName(name))
        return SceneFileChoice{ToStdString(file.absolutePath()), "", false, ToStdString(file.absoluteFilePath())};
    return SceneFileChoice{ToStdString(file.absolutePath()), name, true, {}};
}

void MainWindow::showJobMessage(const Message& message)
{
    // The report of a creation that has handed over its scene offers the view.
    if (message.icon == MessageIcon::Information && pendingScene_) {
        if (dialogs_.offer(this, message, QStringLiteral("3D View"))) viewAfterCreation_ = true;
        return;
    }
    dialogs_.message(this, message);
}

void MainWindow::showProgress(int percent)
{
    button(Control::Stop)->setText(QString::asprintf("Stop - %d%%", percent));
    setWindowTitle(QString::asprintf("KV - %d%%", percent));
}

void MainWindow::enterBusy()
{
    if (busy_) return;
    for (Control id : kDisabledWhileBusy) control(id)->setEnabled(false);
    button(Control::Stop)->setEnabled(true);
    busy_ = true;
}

void MainWindow::leaveBusy()
{
    button(Control::Stop)->setText("Stop");
    setWindowTitle(kWindowTitle);
    for (Control id : kDisabledWhileBusy) control(id)->setEnabled(true);
    button(Control::Stop)->setEnabled(false);
    busy_ = false;
    updateViewButton();
}

// ------------------------------------------------------------------ events

void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!atmospherePreview_.isNull()) {
        painter.drawImage(kAtmospherePreviewRect.topLeft(), atmospherePreview_,
                          QRect(QPoint(0, 0), kAtmospherePreviewRect.size()));
    }
    for (int box = 0; box < kColourBoxCount; ++box)
        painter.fillRect(ColourBoxes()[static_cast<std::size_t>(box)].fill, ToQColor(ColourOfBox(settings_, box)));
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !busy_) emit surfaceLeftPress(event->position().toPoint());
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !busy_) emit surfaceLeftRelease(event->position().toPoint());
    // Right-click help answers also while a creation runs.
    if (event->button() == Qt::RightButton) emit surfaceRightRelease(event->position().toPoint());
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !busy_) emit surfaceLeftDoubleClick(event->position().toPoint());
}

bool MainWindow::event(QEvent* event)
{
    // The name fields take no mouse input, so their tooltips are asked of the
    // window.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        for (Control id : {Control::HeightfieldName, Control::PlacementName}) {
            const QWidget* field = control(id);
            if (!field->geometry().contains(help->pos()) || field->toolTip().isEmpty()) continue;
            QToolTip::showText(help->globalPos(), field->toolTip(), this, field->geometry());
            return true;
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonRelease) return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::RightButton) return false;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        QWidget* widget = controls_[i];
        if (widget != watched) continue;
        // A disabled control passes its clicks to the window's surface, which
        // looks its help up by position; an enabled one has its own help.
        if (!widget->isEnabled()) {
            emit surfaceRightRelease(widget->mapTo(this, mouse->position().toPoint()));
            return true;
        }
        // Consumed here: no standard control does anything with it, and it
        // must not travel on to the surface.
        emit controlRightRelease(static_cast<Control>(i));
        return true;
    }
    return false;
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) emit surfaceMouseMove(event->position().toPoint());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    finishCreationBeforeClosing();
    event->accept();
}

}  // namespace kv::app
