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
inline constexpr char NotProperImage[] = "This is not a proper Image File.\r\nOr, the file is corrupted.";
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

} // namespace snaplorn::texts
