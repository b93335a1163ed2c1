#pragma once
// Every fixed text the user can see, in one place, so the wording can be
// checked against the expected texts in one test. Line breaks inside
// messages are CR LF, as the program has always written them.

namespace snaplorn::texts {

inline constexpr char CRLF[] = "\r\n";

// Titles and captions
inline constexpr char AppTitle[] = "Snaplorn21";
inline constexpr char AppTitleDuplicate[] = "Snaplorn21 duplicate Instance";
inline constexpr char DesignCaption[] = "Quorvex Snaplorn Screen Capture";
inline constexpr char UntitledCaption[] = "Quorvex Snaplorn Screen Capture 3.0";
inline constexpr char TitledCaptionPrefix[] = "Quorvex Snaplorn Screen Capture 3.0 - ";
inline constexpr char ErrorCaption[] = "Error";

// The maker's web address (status panel 4, Help menu, About box, e-mail texts)
inline constexpr char WebAddress[] = "https://www.quorvex.example/snaplorn/";

// Start-up and single instance
inline constexpr char AlreadyRunning[] = "Quorvex Snaplorn is already running.";

// Image document and files
inline constexpr char AskSave[] = "You haven't saved the image.\r\nDo you want to save?";
inline constexpr char NotProperImage[] =
    "This is not a proper Image File.\r\nOr, the file is corrupted.";
inline constexpr char OnlyBmpOrJpg[] = "Images can only be saved as bitmap or jpg.";
inline constexpr char OverwriteQuestion[] = "This file already exists. Do you want to overwrite?";
inline constexpr char NoImagePresent[] = "No image present";
inline constexpr char OpenFilter[] = "JPG Files(*.jpg)|*.jpg|Bitmap Files (*.bmp)|*.bmp;";

// Main window
inline constexpr char HelpOpenErrorPrefix[] = "An error occurred in openning the file: \r\n";
inline constexpr char HelpOpenErrorSuffix[] = "\r\nPlease open the file manually.";

// Picture files (%1 is the path, %2 the system's reason)
inline constexpr char FileNotFound[] = "The file \"%1\" does not exist.";
inline constexpr char PathIsFolder[] = "\"%1\" is a folder, not a picture file.";
inline constexpr char NotAFile[] = "\"%1\" is not a file that can be opened as a picture.";
inline constexpr char FileUnreadable[] = "The file \"%1\" cannot be read: %2";
inline constexpr char NothingToSave[] = "There is no image to save.";
inline constexpr char ImageTooLargeToSave[] = "The image is too large to be saved as a bitmap.";
inline constexpr char SaveFailed[] = "The picture could not be saved as \"%1\": %2";
inline constexpr char ConvertFailed[] = "The bitmap \"%1\" cannot be converted to JPEG: %2";
inline constexpr char BmpNotBitmap[] = "it is not a BMP file.";
inline constexpr char BmpUnsupported[] =
    "only uncompressed 24-bit and 32-bit bitmaps can be converted.";
inline constexpr char BmpTruncated[] = "the file is truncated.";
inline constexpr char BmpTooLargeForJpeg[] = "a JPEG file holds at most 65535 x 65535 pixels.";

// About box
inline constexpr char AboutCaption[] = "About Snaplorn ";
inline constexpr char AboutProduct[] = "Snaplorn Screen Capture";
inline constexpr char AboutVersion[] = "Version 3.0";
inline constexpr char AboutMaker[] = "Quorvex";
inline constexpr char AboutNotice[] =
    "Copyright \u00A9 Quorvex Systems. Snaplorn is provided as is, without warranty of any "
    "kind. Use it freely to capture, edit and share your own screen.";
inline constexpr char AboutClose[] = "&Close";

// Image view: zoom, fit, canvas frame (%1 width, %2 height)
inline constexpr char FrameSizeStatus[] = "X = %1, Y = %2";
inline constexpr char ImageOutOfMemory[] =
    "There is not enough memory for an image of %1 x %2 pixels.";

// Toolbox, drawing tools, selection and colour read-out
inline constexpr char PenWidthLabel[] = "Pen Width";
inline constexpr const char* PenWidthNames[3] = {"1 pixel", "4 pixels", "6 pixels"};
inline constexpr char PaletteName[] = "Colors";
inline constexpr char CanvasName[] = "Image";
inline constexpr char OptionsFolderButtonName[] = "Choose folder";
inline constexpr char OptionsModifierName[] = "%1: modifier key";
inline constexpr char OptionsKeyName[] = "%1: key";
inline constexpr const char* PaletteColourNames[16] = {
    "Black", "Navy", "Green", "Teal", "Maroon", "Purple",  "Olive",  "Silver",
    "Gray",  "Blue", "Lime",  "Aqua", "Red",    "Fuchsia", "Yellow", "White"};
inline constexpr char MoreColorsCaption[] = "...";
inline constexpr char MoreColorsTip[] = "More colors";
inline constexpr char CurrentColorTip[] = "The selected color";
// Tool tips and status hints of the twelve tool buttons, by tool number; the
// Pick Color tool has no hint (panel 1 stays as it is).
inline constexpr const char* ToolTips[12] = {
    "Pencil",        "Eraser", "Rectangle", "Ellipse",       "Solid Rectangle", "Solid Ellipse",
    "Straight Line", "Arrow",  "Text",      "Mouse pointer", "Select area",     "Pick Color"};
inline constexpr const char* ToolHints[12] = {"Draw a line",
                                              "Erase",
                                              "Draw a rectangle",
                                              "Draw an ellipse",
                                              "Draw a filled rectangle",
                                              "Draw a filled ellipse",
                                              "Draw a straight line",
                                              "Draw an arrowed line",
                                              "Type some text",
                                              "Return mouse pointer",
                                              "Cut/copy/crop an area",
                                              nullptr};
inline constexpr char ReadoutWebColor[] = "Web color= #";
inline constexpr char ReadoutRgb[] = ", RGB=(";
inline constexpr char PositionX[] = "X = ";
inline constexpr char PositionY[] = ", Y = ";
inline constexpr char TextPrompt[] = "Enter Text";
inline constexpr char ClipboardPictureUnreadable[] =
    "The picture on the clipboard cannot be read (it is damaged or too large).";
inline constexpr char PasteLargerThanImage[] =
    "The image in the clipboard is larger than your image area.\r\n"
    "Do you like your image enlarged?";

// Capture
inline constexpr char CaptureUnavailable[] =
    "Screen capture is not available: the program is not running on an X11 display.";
inline constexpr char GrabDepthUnsupported[] =
    "The screen cannot be captured: its colour depth of %1 bits (%2 bits per pixel) is not "
    "supported; only 24-bit and 32-bit screens can be read.";
inline constexpr char GrabByteOrderUnsupported[] =
    "The screen cannot be captured: the X server sends its pixels in an unsupported layout.";
inline constexpr char GrabFailed[] = "The screen could not be read from the X server (error %1).";
inline constexpr char GrabOutOfMemory[] =
    "There is not enough memory for a picture of the screen (%1 x %2 pixels).";
// Capture on a Wayland desktop
inline constexpr char WaylandGrabUnreachable[] =
    "The screen cannot be captured: the Wayland compositor cannot be reached (%1).";
inline constexpr char WaylandGrabLost[] =
    "The screen could not be captured: the Wayland compositor went away during the capture.";
inline constexpr char WaylandGrabTimedOut[] =
    "The screen could not be captured: the Wayland compositor stopped answering.";
inline constexpr char WaylandGrabRefused[] =
    "The screen could not be captured: the compositor refused to copy the output %1.";
inline constexpr char WaylandGrabOutputsChanged[] =
    "The screen was not captured: a monitor was added or removed during the capture. "
    "Please capture again.";
inline constexpr char WaylandGrabNoOutputs[] =
    "The screen cannot be captured: the Wayland compositor shows no output.";
inline constexpr char WaylandGrabFormat[] =
    "The screen cannot be captured: the output %1 uses a pixel format this program does not read.";
inline constexpr char WaylandCaptureUnavailable[] =
    "Screen capture is not available: the Wayland compositor offers no screencopy "
    "(zwlr_screencopy_manager_v1) and the screenshot portal (org.freedesktop.portal.Screenshot) "
    "cannot be used: %1";
inline constexpr char PortalRefused[] =
    "The screen was not captured: the screenshot portal refused the request (response %1).";
inline constexpr char PortalSilent[] =
    "The screen was not captured: the screenshot portal did not answer within 10 seconds.";
inline constexpr char PortalNoFile[] =
    "The screen was not captured: the screenshot portal's picture cannot be read (%1).";
inline constexpr char NoActiveWindow[] =
    "There is no active window to capture.\r\nClick the window you want, then capture again.";
inline constexpr char ActiveWindowGone[] = "The active window closed before it could be captured.";
// Hot keys
inline constexpr char HotKeysFailed[] =
    "Can't register one or more hotkeys.They may be used by other applications.\r\n"
    "Please go to Tool --> Options menu and select different set of hot keys.";
inline constexpr char HotKeyNote[] =
    "Close 'Message window' or any 'modal windows' for Hot keys to work.\r\n\r\n"
    "NOTE: A modal window is the one that retains\r\nthe focus until you explicitly close it.";
// Auto capture (the completion message is the number of images, then these two parts, then
// the folder)
inline constexpr char AutoCaptureDone[] = " desktop images have been captured";
inline constexpr char AutoCaptureSavedIn[] = "\r\n and saved in ";
inline constexpr char AutoFolderMissing[] =
    "Auto capture save folder does not exist !\r\n"
    "Please go to Tools->Options menu and set a valid auto capture folder";
// Command-line capture (standard output and standard error)
inline constexpr char CliUsage[] =
    "Usage: snaplorn [PICTURE]\n"
    "       snaplorn --capture desktop|window [--delay MS] [--output FILE] [--quality N]\n"
    "\n"
    "Without options Snaplorn starts its window, showing PICTURE when one is named.\n"
    "\n"
    "  --capture desktop|window  take one picture of the whole screen or of the active\n"
    "                            window without showing any window\n"
    "  --delay MS                wait MS milliseconds first (0 to 600000; default 0)\n"
    "  --output FILE             write the picture to FILE, a .jpg or .bmp file; a folder,\n"
    "                            or --output without a value, picks the next free\n"
    "                            ScreenN.jpg in that folder or the auto capture folder;\n"
    "                            without --output the picture goes to the clipboard\n"
    "  --quality N               JPEG quality 1 to 100 (default: the program's setting)\n"
    "  --help                    show this text\n"
    "  --version                 show the version\n";
inline constexpr char CliVersion[] = "Snaplorn %1";
inline constexpr char CliTryHelp[] = "Try 'snaplorn --help' for more information.";
inline constexpr char CliUnknownOption[] = "unknown option '%1'";
inline constexpr char CliMissingValue[] = "option '%1' needs a value";
inline constexpr char CliBadMode[] =
    "'%1' is not a capture kind; use --capture desktop or --capture window";
inline constexpr char CliBadDelay[] = "'%1' is not a delay; give 0 to 600000 milliseconds";
inline constexpr char CliBadQuality[] = "'%1' is not a JPEG quality; give a number from 1 to 100";
inline constexpr char CliBadOutput[] = "'%1' cannot be written: only .jpg and .bmp files are made";
inline constexpr char CliNeedsCapture[] = "option '%1' needs --capture";
inline constexpr char CliNoDisplay[] = "no X display to capture: DISPLAY is not set";
inline constexpr char CliDisplayUnreachable[] = "cannot connect to the X display '%1'";
inline constexpr char CliDisplaySilent[] =
    "the X display '%1' takes connections but does not answer; giving up";
inline constexpr char CliSaved[] = "%1";
inline constexpr char CliOnClipboard[] =
    "The picture (%1 x %2 pixels) is on the clipboard. Snaplorn keeps serving it until "
    "another program takes the clipboard over; press Ctrl+C to stop sooner.";
inline constexpr char CliClipboardTaken[] = "Another program took the clipboard over; done.";
inline constexpr char CliClipboardUnavailable[] = "the clipboard cannot be set: %1";
inline constexpr char ClipboardNotKept[] =
    "the picture on the clipboard could not be kept after Snaplorn ended";
inline constexpr char CliOnClipboardKept[] =
    "The picture (%1 x %2 pixels) is on the clipboard; wl-copy serves it until another "
    "program copies something.";
// The Wayland clipboard kept by wl-copy
inline constexpr char WlCopyMissing[] =
    "wl-copy is not installed (package wl-clipboard); on a Wayland desktop it keeps the picture "
    "on the clipboard";
inline constexpr char WlCopySilent[] = "wl-copy did not take the picture within 10 seconds";
inline constexpr char WlCopyFailed[] = "wl-copy failed: %1";

// Options dialog
inline constexpr char OptionsCaption[] = "Options - Snaplorn ";
inline constexpr char OptionsSysTray[] = "Run Application in System Tray";
inline constexpr char OptionsAutoSaveFrame[] = "Auto Save Option";
inline constexpr char OptionsFolderLabel[] = "Enter Folder Name (Images will be saved here)";
inline constexpr char OptionsFolderButton[] = "...";
inline constexpr char OptionsIntervalLabel[] = "Auto Capture interval in Seconds";
inline constexpr char OptionsIntervalRange[] = "(0.2 to 60 seconds)";
inline constexpr char OptionsImagesLabel[] = "No of Images to Auto Capture: ";
inline constexpr char OptionsImagesNote[] =
    "Note: Images will be saved as \"Screen1.jpg\", \"Screen2.jpg\" etc.";
inline constexpr char OptionsQualityLabel[] = "Save As  JPG Quality (1-100) :";
inline constexpr char OptionsBroadcast[] = "Show me important messages";
inline constexpr char OptionsHotKeys[] = " Configure Hot Keys ";
inline constexpr char OptionsHotKeyRect[] = "Capture Rectangle ";
inline constexpr char OptionsHotKeyDesk[] = "Capture Desktop ";
inline constexpr char OptionsHotKeyWin[] = "Capture Active Window ";
inline constexpr char OptionsHotKeyPlus[] = "+";
inline constexpr char OptionsOk[] = "OK";
inline constexpr char OptionsCancel[] = "Cancel";
inline constexpr char OptionsBadFolder[] = "Please enter a valid folder name.";
inline constexpr char OptionsBadQuality[] =
    "Please enter a numeric value between 1 and 100 in JPG Quality box.";
inline constexpr char OptionsBadInterval[] =
    "Please enter a numeric value between 0.2 and 60 in capture interval.";
inline constexpr char OptionsBadImagesNum[] =
    "Please enter a whole number > 1 in No. of Images box.";
// %1 is the row's caption without its trailing space.
inline constexpr char OptionsHotKeyIncomplete[] =
    "Please choose both a modifier and a key for the hot key \"%1\".";
inline constexpr char OptionsHotKeysFailed[] =
    "Can't register one or more hotkeys.They may be used by other applications.\r\n"
    "Please go to &Tool --> Options menu and select different set of hot keys.";
inline constexpr char SelectFolderTitle[] = "Select a Folder";

// Tray icon
inline constexpr char TrayToolTip[] = "Snaplorn -  Right Click to activate ";

// Suppressible message box (broadcast messages)
inline constexpr char MsgBoxDesignCaption[] = "Snaplorn";
inline constexpr char MsgBoxDesignText[] = "See Update info";
inline constexpr char MsgBoxBlockLabel[] = "Don't show me this message again";
inline constexpr char MsgBoxOk[] = "&OK";
inline constexpr char MsgBoxYes[] = "&Yes";
inline constexpr char MsgBoxNo[] = "&No";
inline constexpr char MsgBoxBlockNote[] =
    "You can turn this back on by going to 'Tools-->Options' menu\r\n"
    " and checking 'Show me important messages'.";
inline constexpr char MsgBoxAddressRefused[] =
    "The address \"%1\" is not a web page and was not opened.";

// Clipboard, wallpaper, printing and e-mail
inline constexpr char NothingToCopy[] = "There is no image to copy to the clipboard.";
inline constexpr char ClipboardUnavailable[] = "The clipboard is not available.";
inline constexpr char WallpaperUnavailable[] =
    "The wallpaper cannot be set: this desktop offers no way to change it.";
inline constexpr char WallpaperToolMissing[] =
    "The wallpaper cannot be set: the desktop's tool \"%1\" is not installed.";
inline constexpr char WallpaperToolFailed[] = "The wallpaper cannot be set: \"%1\" failed.\r\n%2";
inline constexpr char WallpaperToolExitCode[] = "(exit code %1)";
inline constexpr char WallpaperToolTimedOut[] =
    "The wallpaper cannot be set: \"%1\" did not answer within %2 seconds.";
inline constexpr char WallpaperPictureUnreadable[] =
    "The wallpaper cannot be set: the picture \"%1\" cannot be read.";
inline constexpr char WallpaperNoDisplay[] =
    "The wallpaper cannot be set: the X display \"%1\" cannot be reached.";
inline constexpr char WallpaperDepthUnsupported[] =
    "The wallpaper cannot be set: a screen of %1 bits per pixel is not supported.";
inline constexpr char WallpaperTooLarge[] =
    "The wallpaper cannot be set: there is not enough memory for a picture of %1 x %2 pixels.";
inline constexpr char WallpaperServerError[] =
    "The wallpaper cannot be set: the X server refused the picture (error %1).";
inline constexpr char NothingToPrint[] = "There is no image to print.";
inline constexpr char PrinterUnavailable[] = "Printing is not available.";
inline constexpr char NoPrinter[] =
    "No printer is set up. Add a printer in the system's printer settings and make it the "
    "default printer, or choose one with File - Print Setup..., then print again.";
inline constexpr char PrinterWontStart[] = "The printer \"%1\" cannot print now.";
inline constexpr char PrintJobFailed[] = "The print job for the printer \"%1\" failed.";
inline constexpr char PrintDocumentName[] = "Snaplorn";
inline constexpr char MailerUnavailable[] = "Sending e-mail is not available.";
inline constexpr char EmailCaption[] = "Email - Snaplorn ";
inline constexpr char EmailToLabel[] = "To:";
inline constexpr char EmailSubjectLabel[] = "Subject:";
inline constexpr char EmailMessageLabel[] = "Message";
inline constexpr char EmailAttachmentLabel[] = "Attachment:";
inline constexpr char EmailAttachmentShown[] = "Screen.jpg";
inline constexpr char EmailSend[] = "Send";
inline constexpr char EmailCancel[] = "Cancel";
inline constexpr char EmailAttachmentFile[] = "screen.jpg";
// %1 is the web address
inline constexpr char EmailComposeSubject[] = "Screenshot attached (captured by Snaplorn - %1)";
inline constexpr char EmailDefaultSubject[] = "Screen Image attached (captured by Snaplorn - %1)";
inline constexpr char EmailTag[] = "[Screen Image captured by Snaplorn - %1]";
inline constexpr char EmailEnterAddress[] = "Please enter a valid email address.";
inline constexpr char EmailBadAddress[] =
    "\"%1\" is not a valid email address.\r\n"
    "Enter one or more addresses separated by commas, such as name@example.com.";
inline constexpr char EmailOpenError[] = "Error opening email.";
inline constexpr char EmailSent[] = "The message to %1 was sent.";
inline constexpr char EmailClientFailed[] = "The mail program could not be started.\r\n%1";
inline constexpr char EmailClientExitCode[] = "(xdg-email exit code %1)";
inline constexpr char MailTransportMissing[] =
    "No mail transport is installed: the program \"sendmail\" was not found.\r\n"
    "Install a mail transfer agent (such as msmtp-mta or postfix) and send again.";
inline constexpr char MailSendFailed[] = "The message could not be sent (exit code %1).\r\n%2";
inline constexpr char MailSendTimedOut[] =
    "The message could not be sent: the mail transport did not finish within %1 seconds.";
inline constexpr char MailTransportWontStart[] =
    "The message could not be sent: the mail transport \"%1\" cannot be started.";
inline constexpr char MailAttachmentUnreadable[] =
    "The message could not be sent: the attachment \"%1\" cannot be read.";

} // namespace snaplorn::texts
