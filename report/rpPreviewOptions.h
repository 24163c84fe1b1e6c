// How a report's preview window looks and behaves (the report's
// PreviewOptions): its buttons, zoom, panes and page cache size.
#pragma once

#include <QFlags>

enum TrpPreviewButton {
    pbPrint = 0x0001,
    pbLoad = 0x0002,
    pbSave = 0x0004,
    pbExport = 0x0008,
    pbZoom = 0x0010,
    pbFind = 0x0020,
    pbOutline = 0x0040,
    pbPageSetup = 0x0080,
    pbTools = 0x0100, // no effect on the preview window
    pbEdit = 0x0200,
    pbNavigator = 0x0400,
    pbExportQuick = 0x0800,
    pbNoClose = 0x1000,
    pbNoFullScreen = 0x2000,
    pbNoEmail = 0x4000,
};
Q_DECLARE_FLAGS(TrpPreviewButtons, TrpPreviewButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(TrpPreviewButtons)

// zmDefault: the zoom as it is; zmWholePage: the current page fits the
// view; zmPageWidth: its width does; zmManyPages: treated as zmDefault.
enum TrpZoomMode { zmDefault, zmWholePage, zmPageWidth, zmManyPages };

class TrpPreviewOptions {
public:
    bool AllowEdit = true;
    // pbPrint .. pbExportQuick.
    TrpPreviewButtons Buttons = TrpPreviewButtons(0x0FFF);
    bool DoubleBuffered = true;
    bool Maximized = true;
    bool MDIChild = false;
    bool Modal = true;
    bool OutlineExpand = true;
    bool OutlineVisible = false;
    int OutlineWidth = 120;
    int PagesInCache = 50;
    bool ShowCaptions = false;
    bool ThumbnailVisible = false;
    long double Zoom = 1.0L;
    TrpZoomMode ZoomMode = zmDefault;
    bool PictureCacheInFile = false;
    bool RTLPreview = false;

    void Assign(const TrpPreviewOptions& Source) { *this = Source; }
    // Resets the pane and cache settings (not the buttons or the zoom).
    void Clear()
    {
        OutlineExpand = true;
        OutlineVisible = false;
        OutlineWidth = 120;
        PagesInCache = 50;
        ThumbnailVisible = false;
    }
};
