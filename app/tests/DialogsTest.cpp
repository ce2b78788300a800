// The real dialogs behind the window: message boxes with the core's titles
// and icons, application-modal; Yes/No questions; the file dialogs with their
// titles, filters, starting points and the default extension of Save, which
// leaves the question about an existing file to its caller.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/Dialogs.h"
#include "app/FileFilters.h"

using namespace kv;
using namespace kv::app;
using kv::app::test::OnNextModal;

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void messageBoxesCarryTitleTextAndIcon();
    void openDialogStartsAtTheGivenFile();
    void browseFiltersShowEveryTypeTheLoadersRead();
    void saveDialogAddsTheDefaultExtension();
    void saveDialogAsksNothingAboutAnExistingFile();
    void questionsAnswerYesOrNo();
};

void DialogsTest::messageBoxesCarryTitleTextAndIcon()
{
    QtDialogs dialogs;
    QWidget owner;
    owner.show();
    const std::pair<MessageIcon, QMessageBox::Icon> icons[] = {
        {MessageIcon::Error, QMessageBox::Critical},
        {MessageIcon::Information, QMessageBox::Information},
        {MessageIcon::Warning, QMessageBox::Warning},
    };
    for (const auto& [icon, expected] : icons) {
        QString title, text;
        QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
        Qt::WindowModality modality = Qt::NonModal;
        OnNextModal([&](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            shownIcon = box->icon();
            modality = box->windowModality();
            box->button(QMessageBox::Ok)->click();
        });
        // Both modalities of the core become application-modal boxes.
        dialogs.message(&owner, Message{"Not enough free disk space.", kErrorTitle, icon, Modality::SystemModal});
        QCOMPARE(title, QString("Kelvane Error Message"));
        QCOMPARE(text, QString("Not enough free disk space."));
        QCOMPARE(shownIcon, expected);
        QCOMPARE(modality, Qt::ApplicationModal);
    }
}

void DialogsTest::openDialogStartsAtTheGivenFile()
{
    test::ScratchDir dir;
    test::WriteBmp(dir.file("ridge.bmp"), 4, 4, [](int, int) { return 0u; });
    QtDialogs dialogs;
    QWidget owner;
    owner.show();

    test::WriteBmp(dir.file("LOUD.BMP"), 4, 4, [](int, int) { return 0u; });
    test::WriteBmp(dir.file("notes.txt"), 4, 4, [](int, int) { return 0u; });

    QString title, directory;
    QStringList filters, selected, listed;
    OnNextModal([&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        QVERIFY(dialog);
        // The filter's pattern matches names of either case.
        auto* view = dialog->findChild<QAbstractItemView*>("listView");
        QVERIFY(view);
        QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 2);
        for (int row = 0; row < 2; ++row) listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        directory = dialog->directory().absolutePath();
        selected = dialog->selectedFiles();
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::optional<QString> answer = dialogs.openFile(
        &owner, FileDialogRequest{"Open The Bitmap To Be Used For The Heightfield . . .", dir.qpath(), "ridge.bmp",
                                  "Bitmaps (*.BMP)", {}});
    QCOMPARE(title, QString("Open The Bitmap To Be Used For The Heightfield . . ."));
    QCOMPARE(filters, QStringList({"Bitmaps (*.BMP)"}));
    listed.sort();
    QCOMPARE(listed, QStringList({"LOUD.BMP", "ridge.bmp"}));
    QCOMPARE(directory, QDir(dir.qpath()).absolutePath());
    QCOMPARE(selected, QStringList({QDir(dir.qpath()).filePath("ridge.bmp")}));
    QVERIFY(answer);
    QCOMPARE(*answer, QDir(dir.qpath()).filePath("ridge.bmp"));
}

void DialogsTest::browseFiltersShowEveryTypeTheLoadersRead()
{
    test::ScratchDir dir;
    for (const char* name : {"a.bmp", "B.PNG", "c.tif", "d.TIFF", "N45E006.hgt", "e.asc", "notes.txt", "f.jpg"})
        test::WriteBmp(dir.file(name), 4, 4, [](int, int) { return 0u; });
    QtDialogs dialogs;
    QWidget owner;
    owner.show();

    // The names the dialog lists under its first filter, and its filters.
    auto shown = [&](const QString& filter, QStringList& filters) {
        QStringList listed;
        OnNextModal([&](QWidget* widget) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            QVERIFY(dialog);
            auto* view = dialog->findChild<QAbstractItemView*>("listView");
            QVERIFY(view);
            // The directory is read in the background; wait for the list to settle.
            int rows = -1;
            QTRY_VERIFY_WITH_TIMEOUT(
                [&] {
                    const int now = view->model()->rowCount(view->rootIndex());
                    const bool settled = now > 0 && now == rows;
                    rows = now;
                    return settled;
                }(),
                5000);
            for (int row = 0; row < rows; ++row)
                listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
            filters = dialog->nameFilters();
            static_cast<QDialog*>(dialog)->reject();
        });
        dialogs.openFile(&owner, FileDialogRequest{"Open", dir.qpath(), {}, filter, {}});
        listed.sort();
        return listed;
    };

    QStringList filters;
    QCOMPARE(shown(HeightfieldFilter(true), filters),
             QStringList({"B.PNG", "N45E006.hgt", "a.bmp", "c.tif", "d.TIFF", "e.asc"}));
    QCOMPARE(filters.size(), 7);
    QCOMPARE(filters.last(), QString("All Files (*)"));
    QCOMPARE(shown(HeightfieldFilter(false), filters), QStringList({"B.PNG", "a.bmp"}));
    QCOMPARE(filters.last(), QString("All Files (*)"));
    QCOMPARE(shown(PlacementFilter(), filters), QStringList({"B.PNG", "a.bmp"}));
    QCOMPARE(filters.size(), 3);
}

void DialogsTest::saveDialogAddsTheDefaultExtension()
{
    test::ScratchDir dir;
    QtDialogs dialogs;
    QWidget owner;
    owner.show();

    OnNextModal([&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QString("Save KV File . . ."));
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        // The user types a bare name.
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(name);
        name->setText("island");
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::optional<QString> answer = dialogs.saveFile(
        &owner, FileDialogRequest{"Save KV File . . .", dir.qpath(), {}, "KV Files (*.KV)", "kv"});
    QVERIFY(answer);
    QCOMPARE(*answer, QDir(dir.qpath()).filePath("island.kv"));
}

void DialogsTest::saveDialogAsksNothingAboutAnExistingFile()
{
    test::ScratchDir dir;
    test::WriteBmp(dir.file("up.kv"), 4, 4, [](int, int) { return 0u; });
    QtDialogs dialogs;
    QWidget owner;
    owner.show();

    bool confirms = true;
    OnNextModal([&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        QVERIFY(dialog);
        confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("up.kv");
        // Accepting returns at once: no question box of the dialog's own.
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::optional<QString> answer = dialogs.saveFile(
        &owner, FileDialogRequest{"Save KV File . . .", dir.qpath(), {}, "KV Files (*.KV)", "kv"});
    QVERIFY(!confirms);
    QVERIFY(answer);
    QCOMPARE(*answer, QDir(dir.qpath()).filePath("up.kv"));
}

void DialogsTest::questionsAnswerYesOrNo()
{
    QtDialogs dialogs;
    QWidget owner;
    owner.show();
    const Message question{"/tmp/peak.scn already exists.\nDo you want to replace it?", kMessageTitle,
                           MessageIcon::Warning, Modality::Modal};
    for (QMessageBox::StandardButton press : {QMessageBox::Yes, QMessageBox::No}) {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        bool noIsDefault = false;
        OnNextModal([&](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            noIsDefault = box->defaultButton() == box->button(QMessageBox::No);
            box->button(press)->click();
        });
        const bool yes = dialogs.ask(&owner, question);
        QCOMPARE(yes, press == QMessageBox::Yes);
        QCOMPARE(title, QString("Kelvane Message"));
        QCOMPARE(text, QString("/tmp/peak.scn already exists.\nDo you want to replace it?"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
        // Enter keeps the file.
        QVERIFY(noIsDefault);
    }
}

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
