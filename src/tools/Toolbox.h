#pragma once
#include "base/Result.h"
#include "tools/Tool.h"

#include <QImage>
#include <QObject>
#include <QPointF>

#include <memory>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QPainter;
class QPushButton;
class CanvasWidget;
class MiniPalette;
class PastePicture;
class PenSizePicker;
class TextEntry;

namespace snaplorn {

struct PlatformServices;

// The toolbox and what the mouse does on the canvas: the chosen tool, pen
// width and colour, the drag in progress, a shown selection with its
// commands (Cut, Copy, Crop), the floating picture of a paste and the text
// tool's edit box. Edits go to the document; the window hears about the
// status texts, the commands to enable and the canvas menu by signals.
class Toolbox : public QObject
{
    Q_OBJECT
public:
    // Builds the toolbox's controls inside `toolboxFrame` and the paste and
    // text boxes on `canvas`; a floating picture can be dragged within
    // `canvasFrame`. `window` is the parent of messages and dialogs.
    Toolbox(ImageDocument& document, PlatformServices& services, CanvasWidget& canvas,
            QWidget& canvasFrame, QWidget& toolboxFrame, QWidget& window);
    ~Toolbox() override;

    // The chosen tool (a button number), the pen width (1, 4 or 6) and the
    // drawing colour (0x00BBGGRR).
    qint16 tool() const { return miCurrTool; }
    qint16 penWidth() const { return miPenWidth; }
    ColorRef colour() const { return mlCurrColor; }
    // A selection rectangle is shown (the Select tool stays chosen).
    bool selectionShown() const { return m_selectionShown; }
    // The last canvas drag; the corners of the selection while one is shown.
    const DragFields& dragFields() const { return m_drag; }

    QAbstractButton* OptTool(int index) const;
    void OptTool_Click(int index);
    void OptTool_MouseMove(int index);
    void picPenSize_MouseDown(int button, int x, int y);
    void PicMiniPal_MouseDown(int button, int x, int y);
    void cmdColor_Click();
    void selectPointerTool();

    // Canvas mouse events in image pixels; button 1 left, 2 right, 4 middle
    // (a sum while moving).
    void picSelImage_MouseDown(int button, const QPointF& point);
    void picSelImage_MouseMove(int button, const QPointF& point);
    void picSelImage_MouseUp(int button, const QPointF& point);
    void txtText_LostFocus();
    void picPaste_LostFocus();
    // A click on the grey frame around the canvas.
    void frameClicked();

    // Undo drops a shown selection: its picture is replaced.
    void dropSelection();
    // A new document drops a floating picture without stamping it.
    void hidePendingPaste();

    void cut();
    void copy();
    void paste();
    void crop();
    // The flips and the inversion: the whole picture, the pointer tool chosen.
    void applyWholeImage(void (ImageDocument::*operation)());
    void grayscale();
    // The colour at the canvas menu's press point as text on the clipboard.
    void copyColorText(bool webSafe);
    // Asks the clipboard whether Paste has something to take.
    void checkPasteAvailable();

signals:
    void statusText(int panel, const QString& text);
    // Cut and Copy enabled with a selection; Crop only with one of 6 x 6.
    void selectionCommandsEnabled(bool cutCopy, bool crop);
    void pasteEnabled(bool enabled);
    void canvasMenuRequested(const QPoint& globalPos);

private:
    void createToolButtons(QWidget& frame);
    Tool* currentTool() const;
    void setCurrentColor(ColorRef colour);
    void paintCanvasOverlay(QPainter& painter);
    void eraseSelectionOutline();
    void showReadouts(const QPointF& point);
    void finishSelection(const QPointF& release);
    void placeTextBox(const QPointF& release);
    QRect selectionRect() const;
    bool putOnClipboard(const QImage& picture);
    void enlargeCanvasFor(const QSize& picture);
    void showPastedPicture();
    void showError(const QString& text);

    ImageDocument& m_document;
    PlatformServices& m_services;
    CanvasWidget& picSelImage;
    QWidget& m_window;
    qint16 miCurrTool = toolPointer;
    qint16 miPenWidth = 1;
    ColorRef mlCurrColor = 0;
    bool m_selectionShown = false;
    DragFields m_drag;
    std::unique_ptr<ToolContext> m_toolContext;
    std::vector<std::unique_ptr<Tool>> m_tools;
    QButtonGroup* m_toolButtons = nullptr;
    QLabel* lblCurrColor = nullptr;
    QPushButton* cmdColor = nullptr;
    MiniPalette* PicMiniPal = nullptr;
    QLabel* Label1 = nullptr;
    PenSizePicker* picPenSize = nullptr;
    PastePicture* picPaste = nullptr;
    TextEntry* txtText = nullptr;
};

} // namespace snaplorn
