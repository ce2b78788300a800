#include "app/HelpWindows.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "app/TutorialPages.h"
#include "app/WindowLayout.h"
#include "app/WindowPlacement.h"

namespace kv::app {

namespace {

QFont HelpFont()
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(kFontPixelSize);
    return font;
}

void CentreOnScreen(QWidget& window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), window.size());
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

// A large push button whose caption wraps onto several centred lines when
// it does not fit on one.
class WrappingButton final : public QPushButton {
public:
    WrappingButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(2, 2, -2, -2);
        painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), text(),
                             QPalette::ButtonText);
    }
};

void BringToFront(QWidget& window)
{
    window.showNormal();
    window.raise();
    window.activateWindow();
}

}  // namespace

// ------------------------------------------------------------ help topics

HelpTopicsDialog::HelpTopicsDialog()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("HELP");
    setWindowTitle("Kelvane Help Topics");
    setFont(HelpFont());
    setFixedSize(DluToPixelsX(314), DluToPixelsY(148));

    struct Topic {
        const char* caption;
        int y;  // dialog units
        const char* text;
    };
    const Topic topics[] = {
        {"Right Click", 7,
         "KV pops open help dialogs whenever you right click on any of the input parameters. Click on the button to "
         "the left to exit help and right click on an input parameter."},
        {"Step by Step", 52,
         "It is recommended that all users go throught the step by step procedure at least once. This procedure will "
         "walk you through the KV process and discuss many issues along the way. Click the button to the left to "
         "begin the step by step procedure."},
        {"Exit Help", 98, "Click the button to the left to exit help."},
    };
    QPushButton* buttons[3] = {};
    for (int i = 0; i < 3; ++i) {
        auto* button = new WrappingButton(topics[i].caption, this);
        button->setGeometry(DluToPixels(QRect(7, topics[i].y, 50, 44)));
        button->setAutoDefault(false);
        auto* text = new QLabel(topics[i].text, this);
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        text->setGeometry(DluToPixels(QRect(64, topics[i].y, 243, 44)));
        buttons[i] = button;
    }
    rightClick_ = buttons[0];
    stepByStep_ = buttons[1];
    exit_ = buttons[2];
    connect(rightClick_, &QPushButton::clicked, this, &QDialog::close);
    connect(exit_, &QPushButton::clicked, this, &QDialog::close);
    connect(stepByStep_, &QPushButton::clicked, this, [this] {
        close();
        emit stepByStepChosen();
    });
    CentreOnScreen(*this);
}

// ------------------------------------------------------------ tutorial

TutorialWindow::TutorialWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName("STEPBYSTEP");
    setFont(HelpFont());
    setFixedSize(DluToPixelsX(411), DluToPixelsY(207));

    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_->setGeometry(DluToPixels(QRect(7, 7, 397, 173)));

    back_ = new QPushButton("<< Back  ", this);
    back_->setGeometry(DluToPixels(QRect(154, 186, 50, 14)));
    next_ = new QPushButton("  Next >>", this);
    next_->setGeometry(DluToPixels(QRect(207, 186, 50, 14)));
    exit_ = new QPushButton("Exit", this);
    exit_->setGeometry(DluToPixels(QRect(354, 186, 50, 14)));
    for (QPushButton* button : {back_, next_, exit_}) button->setAutoDefault(false);

    connect(back_, &QPushButton::clicked, this, &TutorialWindow::back);
    connect(next_, &QPushButton::clicked, this, &TutorialWindow::next);
    connect(exit_, &QPushButton::clicked, this, &QWidget::close);

    back_->setEnabled(false);
    showPage();
}

void TutorialWindow::next()
{
    if (page_ >= kTutorialPageCount - 1) return;
    if (page_ == 0) back_->setEnabled(true);
    ++page_;
    if (page_ == kTutorialPageCount - 1) next_->setEnabled(false);
    showPage();
}

void TutorialWindow::back()
{
    if (page_ <= 0) return;
    if (page_ == 1) back_->setEnabled(false);
    if (page_ == kTutorialPageCount - 1) next_->setEnabled(true);
    --page_;
    showPage();
}

void TutorialWindow::showPage()
{
    const TutorialPage& page = TutorialPages()[static_cast<std::size_t>(page_)];
    setWindowTitle(QString::fromUtf8(page.title));
    text_->setPlainText(QString::fromStdString(page.text));
    text_->verticalScrollBar()->setValue(0);
}

// ------------------------------------------------------------ ownership

HelpWindows::HelpWindows(QWidget* mainWindow) : QObject(mainWindow), mainWindow_(mainWindow)
{
    setObjectName("helpWindows");
    mainWindow->installEventFilter(this);
}

bool HelpWindows::eventFilter(QObject* watched, QEvent* event)
{
    // Closing the main window ends the program: the help goes with it.
    if (watched == mainWindow_ && event->type() == QEvent::Close) {
        if (topics_) topics_->close();
        if (tutorial_) tutorial_->close();
    }
    return false;
}

HelpWindows::~HelpWindows()
{
    delete topics_.data();
    delete tutorial_.data();
}

HelpWindows& HelpWindows::Of(QWidget* mainWindow)
{
    if (auto* existing = mainWindow->findChild<HelpWindows*>(QString(), Qt::FindDirectChildrenOnly)) return *existing;
    return *new HelpWindows(mainWindow);
}

void HelpWindows::showTopics()
{
    if (topics_ && topics_->isVisible()) {
        BringToFront(*topics_);
        return;
    }
    delete topics_.data();
    topics_ = new HelpTopicsDialog;
    // The program ends with its main window, whatever help is open.
    topics_->setAttribute(Qt::WA_QuitOnClose, false);
    connect(topics_, &HelpTopicsDialog::stepByStepChosen, this, &HelpWindows::showTutorial);
    topics_->show();
}

void HelpWindows::showTutorial()
{
    if (tutorial_ && tutorial_->isVisible()) {
        BringToFront(*tutorial_);
        emit tutorialShown();
        return;
    }
    delete tutorial_.data();
    tutorial_ = new TutorialWindow;
    tutorial_->setAttribute(Qt::WA_QuitOnClose, false);
    // The tutorial tells the user what to do in the main window: it opens
    // beside it, not over it.
    MoveBeside(*tutorial_, *mainWindow_);
    tutorial_->show();
    emit tutorialShown();
}

}  // namespace kv::app
