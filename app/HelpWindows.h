#pragma once
// The help topics dialog and the step-by-step tutorial. Both are windows
// without an owner, so the main window stays usable while they are open;
// one of each exists at a time, held by a HelpWindows object that is a child
// of the main window.
#include <QDialog>
#include <QPointer>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kv::app {

// "Kelvane Help Topics": three large buttons, each with its text beside it.
class HelpTopicsDialog final : public QDialog {
    Q_OBJECT

public:
    HelpTopicsDialog();

    QPushButton* rightClickButton() const { return rightClick_; }
    QPushButton* stepByStepButton() const { return stepByStep_; }
    QPushButton* exitButton() const { return exit_; }

signals:
    // "Step by Step" was chosen; the dialog has already closed.
    void stepByStepChosen();

private:
    QPushButton* rightClick_;
    QPushButton* stepByStep_;
    QPushButton* exit_;
};

// The step-by-step tutorial: thirteen pages of text paged with Back and Next.
class TutorialWindow final : public QWidget {
    Q_OBJECT

public:
    TutorialWindow();

    int page() const { return page_; }
    QPlainTextEdit* textBox() const { return text_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* exitButton() const { return exit_; }

    void next();
    void back();

private:
    void showPage();

    int page_ = 0;
    QPlainTextEdit* text_;
    QPushButton* back_;
    QPushButton* next_;
    QPushButton* exit_;
};

class HelpWindows final : public QObject {
    Q_OBJECT

public:
    // The help windows of a main window, made on first use.
    static HelpWindows& Of(QWidget* mainWindow);
    ~HelpWindows() override;

    // Opens the help topics dialog, or brings the open one to the front.
    void showTopics();
    // Opens the tutorial at page 0 beside the main window, or brings the open
    // one to the front as it is.
    void showTutorial();

    HelpTopicsDialog* topics() const { return topics_; }
    TutorialWindow* tutorial() const { return tutorial_; }

signals:
    void tutorialShown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit HelpWindows(QWidget* mainWindow);

    QWidget* mainWindow_;
    QPointer<HelpTopicsDialog> topics_;
    QPointer<TutorialWindow> tutorial_;
};

}  // namespace kv::app
