// The program's fixed messages against the wording users know them by. The
// expected texts are written out here, not taken from the program's own
// constants, so a changed word or a lost line break fails.
#include "base/Texts.h"

#include <QtTest>

using namespace snaplorn;

class TstTexts : public QObject
{
    Q_OBJECT
private slots:
    void wording_data();
    void wording();
};

void TstTexts::wording_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* name, const char* shown, const char* expected) {
        QTest::newRow(name) << QString::fromUtf8(shown) << QString::fromUtf8(expected);
    };
    row("already running", texts::AlreadyRunning, "Quorvex Snaplorn is already running.");
    row("untitled caption", texts::UntitledCaption, "Quorvex Snaplorn Screen Capture 3.0");
    row("ask save", texts::AskSave, "You haven't saved the image.\r\nDo you want to save?");
    row("not a picture", texts::NotProperImage,
        "This is not a proper Image File.\r\nOr, the file is corrupted.");
    row("bmp or jpg only", texts::OnlyBmpOrJpg, "Images can only be saved as bitmap or jpg.");
    row("overwrite", texts::OverwriteQuestion,
        "This file already exists. Do you want to overwrite?");
    row("no image", texts::NoImagePresent, "No image present");
    row("help error start", texts::HelpOpenErrorPrefix,
        "An error occurred in openning the file: \r\n");
    row("help error end", texts::HelpOpenErrorSuffix, "\r\nPlease open the file manually.");
    row("text prompt", texts::TextPrompt, "Enter Text");
    row("web colour", texts::ReadoutWebColor, "Web color= #");
    row("paste larger", texts::PasteLargerThanImage,
        "The image in the clipboard is larger than your image area.\r\n"
        "Do you like your image enlarged?");
    row("hot keys failed", texts::HotKeysFailed,
        "Can't register one or more hotkeys.They may be used by other applications.\r\n"
        "Please go to Tool --> Options menu and select different set of hot keys.");
    row("hot keys failed in options", texts::OptionsHotKeysFailed,
        "Can't register one or more hotkeys.They may be used by other applications.\r\n"
        "Please go to &Tool --> Options menu and select different set of hot keys.");
    row("hot key note", texts::HotKeyNote,
        "Close 'Message window' or any 'modal windows' for Hot keys to work.\r\n\r\n"
        "NOTE: A modal window is the one that retains\r\nthe focus until you explicitly "
        "close it.");
    row("auto capture done", texts::AutoCaptureDone, " desktop images have been captured");
    row("auto folder missing", texts::AutoFolderMissing,
        "Auto capture save folder does not exist !\r\n"
        "Please go to Tools->Options menu and set a valid auto capture folder");
    row("bad folder", texts::OptionsBadFolder, "Please enter a valid folder name.");
    row("bad quality", texts::OptionsBadQuality,
        "Please enter a numeric value between 1 and 100 in JPG Quality box.");
    row("bad interval", texts::OptionsBadInterval,
        "Please enter a numeric value between 0.2 and 60 in capture interval.");
    row("bad count", texts::OptionsBadImagesNum,
        "Please enter a whole number > 1 in No. of Images box.");
    row("block label", texts::MsgBoxBlockLabel, "Don't show me this message again");
    row("block note", texts::MsgBoxBlockNote,
        "You can turn this back on by going to 'Tools-->Options' menu\r\n"
        " and checking 'Show me important messages'.");
    row("tray tip", texts::TrayToolTip, "Snaplorn -  Right Click to activate ");
    row("mail open error", texts::EmailOpenError, "Error opening email.");
    row("mail address", texts::EmailEnterAddress, "Please enter a valid email address.");
}

void TstTexts::wording()
{
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    QCOMPARE(shown, expected);
}

QTEST_APPLESS_MAIN(TstTexts)
#include "tst_texts.moc"
