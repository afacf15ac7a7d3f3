#include "app/commands.h"

namespace command {

namespace {
constexpr QKeyCombination kNone{};
}  // namespace

const QList<Info>& All() {
    static const QList<Info> table = {
        {kOpenImageFile,
         "&Open image file\tCtrl-O",
         "Import a image for use as Xform source",
         "Get Image",
         {Qt::CTRL | Qt::Key_O, kNone}},
        {kSaveImageFile,
         "&Save image file\tCtrl-S",
         "Save the image to a file",
         "Save image",
         {Qt::CTRL | Qt::Key_S, kNone}},
        {kSaveImageAs,
         "Save &As...",
         "Save the active document with a new name",
         "Save As",
         {kNone, kNone}},
        {kSaveSession,
         "Save Session...",
         "Save the picture and its whole sequence of ideas in one file",
         "Save Session",
         {kNone, kNone}},
        {kSaveRecipe,
         "Save Recipe...",
         "Save the recipe of the image on show",
         "Save Recipe",
         {kNone, kNone}},
        {kApplyRecipe,
         "Apply Recipe...",
         "Draw a saved recipe on this picture as a new idea",
         "Apply Recipe",
         {kNone, kNone}},
        {kCloseDocument,
         "&Close\tCtrl-W",
         "Close the active image window",
         "Close",
         {Qt::CTRL | Qt::Key_W, Qt::CTRL | Qt::Key_F4, kNone}},
        // Alt+F4 usually goes to the window manager, which closes the window
        // just as well; Ctrl+Q is the Linux key for quitting.
        {kExit,
         "E&xit\tAlt-F4",
         "Quit Fabulor",
         "End",
         {Qt::ALT | Qt::Key_F4, Qt::CTRL | Qt::Key_Q}},
        {kCopy,
         "&Copy\tCtrl-C",
         "Copy the image and put it on the Clipboard",
         "Copy to clipboard",
         {Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert}},
        {kPaste,
         "&Paste\tCtrl-V",
         "Get clipboard contents and paste into new image",
         "Paste",
         {Qt::CTRL | Qt::Key_V, Qt::SHIFT | Qt::Key_Insert}},
        {kCopyAndPaste,
         "Copy and paste\tCtrl-I",
         "Copy and paste within Fabulor window",
         "Copy and paste",
         {Qt::CTRL | Qt::Key_I, kNone}},
        {kChooseXform,
         "Choose X&form...\tF6",
         "Change Object Xform to use on original image",
         "Choose Xform(F6)",
         {QKeyCombination(Qt::Key_F6), kNone}},
        {kWizardCreates,
         "&Wizard Creates\tF7",
         "Create image with Wizard chosen parameters",
         "Wizard chooses (F7)",
         {QKeyCombination(Qt::Key_F7), kNone}},
        {kIdeaGallery,
         "Idea &Gallery\tF5",
         "Show a page of Wizard ideas to choose from",
         "Idea Gallery (F5)",
         {QKeyCombination(Qt::Key_F5), kNone}},
        {kCreate,
         "&Create\tF8",
         "Generate a new image using current settings (F8)",
         "Create(F8)",
         {QKeyCombination(Qt::Key_F8), kNone}},
        {kXformSettings,
         "Xform &Settings...\tF9",
         "Change settings of idea generator, F9",
         "Change settings(F9)",
         {QKeyCombination(Qt::Key_F9), kNone}},
        {kStop,
         "Stop\tEsc",
         "Stop Xforming the image",
         "STOP!",
         {QKeyCombination(Qt::Key_Escape), kNone}},
        {kGoToOriginal, "Go to original", "Go to original image", "Original", {kNone, kNone}},
        {kBack,
         "Back\tCtrl-Z",
         "Go back to the previous image",
         "Back",
         {Qt::CTRL | Qt::Key_Z, kNone}},
        {kForward,
         "Forward\tCtrl-Y",
         "Go forward to the next image",
         "Forward",
         {Qt::CTRL | Qt::Key_Y, kNone}},
        {kGoToLast, "Go to last", "Go to last image generated", "Last image", {kNone, kNone}},
        {kOverview,
         "Overview...",
         "Select image from sequence using overview window",
         "Select image",
         {kNone, kNone}},
        {kSelection,
         "S&election...",
         "Change advanced selection settings",
         "Selection",
         {kNone, kNone}},
        {kImageQuality,
         "Image &Quality...",
         "Change image quality",
         "Image Quality",
         {kNone, kNone}},
        {kMixSettings,
         "&Mix...",
         "Change how Xformed images mix with original images",
         "Final mix",
         {kNone, kNone}},
        {kWebFade,
         "&Web fade...",
         "Set how and to what color the image fades into",
         "WEB fade",
         {kNone, kNone}},
        {kImageProperties,
         "&Image Properties...",
         "Show the properties of the image",
         "Properties",
         {kNone, kNone}},
        {kZoomIn,
         "Zoom in\t+",
         "Increase size of view of image",
         "Increase size",
         // The keypad's + arrives as a plain + under X11; Ctrl+= is Ctrl++ unshifted.
         {QKeyCombination(Qt::Key_Plus), Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal}},
        {kZoomOut,
         "Zoom out\t-",
         "Decrease view of current image",
         "Decrease size",
         {QKeyCombination(Qt::Key_Minus), Qt::CTRL | Qt::Key_Minus, kNone}},
        {kQuarterSize, "&Quarter size", "Reduce view to 25%", "Quarter size", {kNone, kNone}},
        {kHalfSize,
         "&Half size",
         "Sets view size of current image to 50%",
         "Half Size",
         {kNone, kNone}},
        {kThreeQuarters,
         "&Three quarters",
         "Set size of view to 75% of full",
         "Three Quarters",
         {kNone, kNone}},
        {kFullSize,
         "&Full size\tCtrl-0",
         "Set View Size to normal size",
         "100%",
         {Qt::CTRL | Qt::Key_0, Qt::CTRL | Qt::ALT | Qt::Key_N, kNone}},
        {kFitToWindow,
         "Fit to &window\tCtrl-Shift-J",
         "Show the whole image in the window",
         "Fit to window",
         {Qt::CTRL | Qt::SHIFT | Qt::Key_J, kNone, kNone}},
        {kTipOfTheDay, "&Tip of the Day...", "Displays a Tip of the Day.", nullptr, {kNone, kNone}},
        {kAbout,
         "&About Fabulor...",
         "Display program information, version number and copyright",
         "Version info.",
         {kNone, kNone}},
        {kAcknowledgements, "Thanks all!", "Acknowledgements...", "Thanks all!", {kNone, kNone}},
        {kLesson, "&Lesson", "Show an easy tutorial about using Fabulor", "Lesson", {kNone, kNone}},
        {kHelp,
         "&Help Topics\tF1",
         "Display help for current task or command",
         "Help",
         {QKeyCombination(Qt::Key_F1), kNone}},
        {kContextHelp,
         "What's &This?\tShift+F1",
         "Display help for clicked on buttons, menus and windows",
         "Help",
         {Qt::SHIFT | Qt::Key_F1, kNone}},
        {kGlyphtic, nullptr, "Create a new glyphtic image", nullptr, {Qt::CTRL | Qt::Key_G, kNone}},
        {kBackKey,
         nullptr,
         "Go back to the previous image",
         nullptr,
         {QKeyCombination(Qt::Key_Left), kNone}},
        {kForwardKey,
         nullptr,
         "Go forward to the next image",
         nullptr,
         {QKeyCombination(Qt::Key_Right), kNone}},
        {kRevertToOriginal, "&Revert to Original", "", nullptr, {kNone, kNone}},
    };
    return table;
}

const Info* Find(int id) {
    for (const Info& info : All()) {
        if (info.id == id) return &info;
    }
    return nullptr;
}

QList<QKeySequence> Shortcuts(const Info& info) {
    QList<QKeySequence> keys;
    for (QKeyCombination key : info.keys) {
        if (key != kNone) keys.append(QKeySequence(key));
    }
    return keys;
}

const QList<Id>& ToolBar() {
    static const QList<Id> items = {
        kOpenImageFile, kSaveImageFile, kSeparator,     kCopy,        kPaste,         kCopyAndPaste,
        kSeparator,     kChooseXform,   kWizardCreates, kCreate,      kXformSettings, kStop,
        kSeparator,     kGoToOriginal,  kBack,          kOverview,    kForward,       kGoToLast,
        kSeparator,     kSelection,     kImageQuality,  kMixSettings, kSeparator,     kIdeaGallery,
    };
    return items;
}

const QList<Id>& FileMenu() {
    static const QList<Id> items = {kOpenImageFile, kSaveImageFile, kSaveImageAs, kCloseDocument,
                                    kSeparator,     kSaveSession,   kSaveRecipe,  kApplyRecipe,
                                    kSeparator,     kExit};
    return items;
}

const QList<Id>& HelpMenu() {
    static const QList<Id> items = {kHelp,      kContextHelp,      kTipOfTheDay, kLesson,
                                    kSeparator, kAcknowledgements, kAbout};
    return items;
}

const QList<Id>& ContextMenu() {
    // The first eleven items are the classic menu; web fade, the fixed view
    // sizes and the gallery have no other place in it.
    static const QList<Id> items = {
        kChooseXform,     kWizardCreates, kCreate,           kXformSettings, kImageQuality,
        kMixSettings,     kSelection,     kRevertToOriginal, kZoomIn,        kZoomOut,
        kImageProperties, kSeparator,     kWebFade,          kQuarterSize,   kHalfSize,
        kThreeQuarters,   kFullSize,      kFitToWindow,      kIdeaGallery,
    };
    return items;
}

}  // namespace command
