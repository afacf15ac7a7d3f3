#include "app/panel_builder.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <QValidator>

#include "app/colour_swatch.h"
#include "app/dialogs.h"
#include "app/dlg_helpers.h"
#include "app/figure_chooser.h"
#include "app/slider_pair.h"
#include "engine/toolkit.h"
#include "util/error_box.h"
#include "util/utf8.h"

namespace {

// A real edit takes at most this many characters.
constexpr int kRealTextLength = 12;

bool SameName(const char* a, const char* b) {
    return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

QString Latin(const char* text) {
    return QString::fromLatin1(text);
}

// A label as messages name its control: no '&' and no closing ':'.
std::string Named(const char* label) {
    std::string name;
    for (const char* p = label; *p; ++p)
        if (*p != '&') name += *p;
    if (!name.empty() && name.back() == ':') name.pop_back();
    return name;
}

// The whole text as an integer (blanks around it allowed).
bool ParseInt(const QString& text, long long* value) {
    const QByteArray bytes = text.trimmed().toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, *value);
    return end != first && end == last && error == std::errc();
}

// --- flags ---------------------------------------------------------------------------

class FlagWidget : public FieldWidget {
  public:
    explicit FlagWidget(const FieldSetup& s) : FieldWidget(s.field, s.work) {
        int* flag = std::get<int*>(field.At(work));
        auto* check = new QCheckBox(Latin(field.label), s.parent);
        check->setObjectName(Latin(field.name));
        check->setChecked(*flag != 0);
        QObject::connect(check, &QCheckBox::clicked, check, [check, flag, changed = s.changed] {
            *flag = *flag != 0 ? 0 : 1;
            check->setChecked(*flag != 0);
            changed();
        });
        controls.check = check;
        controls.inputs.push_back(check);
        s.into->addWidget(check);
    }
};

// --- numbers -------------------------------------------------------------------------

bool IsVertical(ParamControl control) {
    return control == ParamControl::VerticalSlider || control == ParamControl::VerticalTrackbar;
}

// A slider with its edit, an edit alone, or a vertical trackbar alone.
class NumberWidget : public FieldWidget {
  public:
    explicit NumberWidget(const FieldSetup& s) : FieldWidget(s.field, s.work) {
        const Qt::Alignment align = IsVertical(field.control) ? Qt::AlignHCenter : Qt::Alignment();
        // Inside a group of its own name the box's title labels it.
        if (!SameName(field.group, field.label))
            s.into->addWidget(new QLabel(Latin(field.label), s.parent), 0, align);
        if (field.percentFormat != nullptr) {
            percent_ = new QLabel(s.parent);
            percent_->setObjectName(Latin(field.name) + QStringLiteral("Percent"));
            s.into->addWidget(percent_, 0, align);
            ShowPercent();
        }
        if (field.control == ParamControl::Edit) {
            auto* edit = new QLineEdit(s.parent);
            edit->setObjectName(Latin(field.name));
            if (IsReal()) edit->setMaxLength(kRealTextLength);
            controls.edit = edit;
            ShowValue();
            QObject::connect(edit, &QLineEdit::editingFinished, edit, [this] { CommitEdit(); });
            controls.inputs.push_back(edit);
            s.into->addWidget(edit);
            return;
        }
        const auto orientation = IsVertical(field.control) ? Qt::Vertical : Qt::Horizontal;
        auto* pair = new SliderPair(orientation, s.parent);
        if (field.control == ParamControl::VerticalTrackbar) pair->Edit()->hide();
        pair->setObjectName(Latin(field.name));
        if (IsReal()) {
            pair->SetupReal(Real(), field.min, field.max, field.format);
            pair->SetMaxTextLength(kRealTextLength);
        } else {
            pair->SetupInt(Int(), static_cast<int>(field.min), static_cast<int>(field.max));
        }
        // The value follows the trackbar alone.
        if (field.control == ParamControl::Trackbar) pair->Edit()->hide();
        controls.pair = pair;
        controls.inputs.push_back(pair);
        const bool vertical = orientation == Qt::Vertical;
        if (field.tickStep > 0) {
            pair->Slider()->setTickInterval(field.tickStep);
            pair->Slider()->setTickPosition(vertical ? QSlider::TicksRight : QSlider::TicksBelow);
        }
        AddEndLabels(s, pair, vertical, align);
        if (!IsReal()) {
            const auto moved = [this, valueOf = s.valueOf] {
                KeepBetweenNeighbours(valueOf);
                ShowPercent();
            };
            QObject::connect(pair, &SliderPair::Scrolled, pair, moved);
            QObject::connect(pair, &SliderPair::Edited, pair, moved);
        }
    }

    bool Accept() override {
        if (controls.pair != nullptr) {
            if (IsReal() || (field.editMin == 0 && field.editMax == 0)) {
                controls.pair->CommitPendingEdit();
                return true;
            }
            // Checked before the pair's own commit would clamp the text away.
            int typed = 0;
            if (!controls.pair->CheckIntegerRange(field.editMin, field.editMax, &typed))
                return false;
            *Int() = HeldInRange(typed);
            controls.pair->SetFromValue();
            return true;
        }
        if (IsReal()) {
            if (controls.edit->isModified()) CommitEdit();
            return true;
        }
        long long typed = 0;
        const bool wider = field.editMin != 0 || field.editMax != 0;
        const int lo = wider ? field.editMin : static_cast<int>(field.min);
        const int hi = wider ? field.editMax : static_cast<int>(field.max);
        if (!ParseInt(controls.edit->text(), &typed)) {
            ErrorBox("Please enter an integer.");
        } else if (typed < lo || typed > hi) {
            ErrorBox("Please enter an integer between %d and %d.", lo, hi);
        } else {
            *Int() = HeldInRange(static_cast<int>(typed));
            ShowValue();
            return true;
        }
        controls.edit->setFocus();
        controls.edit->selectAll();
        return false;
    }

  private:
    // The pair with the words for its trackbar's ends: under it, the high
    // end's at the right end of the trackbar (not of the edit); a vertical
    // pair's high end above it and low end below.
    void AddEndLabels(const FieldSetup& s, SliderPair* pair, bool vertical, Qt::Alignment align) {
        if (field.lowEndLabel == nullptr && field.highEndLabel == nullptr) {
            s.into->addWidget(pair, 0, align);
            return;
        }
        auto label = [&](const char* text) {
            return new QLabel(text != nullptr ? Latin(text) : QString(), s.parent);
        };
        if (vertical) {
            s.into->addWidget(label(field.highEndLabel), 0, Qt::AlignHCenter);
            s.into->addWidget(pair);
            s.into->addWidget(label(field.lowEndLabel), 0, Qt::AlignHCenter);
            return;
        }
        s.into->addWidget(pair);
        auto* ends = new QHBoxLayout;
        ends->addWidget(label(field.lowEndLabel));
        ends->addStretch();
        ends->addWidget(label(field.highEndLabel));
        ends->addSpacing(pair->Edit()->maximumWidth() + std::max(0, pair->layout()->spacing()));
        s.into->addLayout(ends);
    }

    // A neighbour passed snaps the value back onto it.
    void KeepBetweenNeighbours(const std::function<int(const char*)>& valueOf) {
        int v = *Int();
        if (field.atLeast != nullptr) v = std::max(v, valueOf(field.atLeast));
        if (field.atMost != nullptr) v = std::min(v, valueOf(field.atMost));
        if (v == *Int()) return;
        *Int() = v;
        controls.pair->SetFromValue();
    }

    void ShowPercent() {
        if (percent_ == nullptr || IsReal() || field.max <= 0) return;
        const int top = static_cast<int>(field.max);
        percent_->setText(QString::asprintf(field.percentFormat, *Int() * 100 / top));
    }

    bool IsReal() const { return field.kind == ParamKind::Real; }
    int* Int() { return std::get<int*>(field.At(work)); }
    double* Real() { return std::get<double*>(field.At(work)); }
    int HeldInRange(int v) const {
        return std::clamp(v, static_cast<int>(field.min), static_cast<int>(field.max));
    }

    void ShowValue() {
        controls.edit->setText(IsReal() ? FormatReal(field.format, *Real())
                                        : QString::number(*Int()));
    }

    // A lone edit left: the typed value held to the range, or the old one
    // back when it is not a number.
    void CommitEdit() {
        if (IsReal()) {
            *Real() = std::clamp(ReadReal(controls.edit->text()), field.min, field.max);
        } else {
            long long typed = 0;
            if (ParseInt(controls.edit->text(), &typed)) {
                const auto lo = static_cast<long long>(field.min);
                const auto hi = static_cast<long long>(field.max);
                *Int() = static_cast<int>(std::clamp(typed, lo, hi));
            }
        }
        ShowValue();
        ShowPercent();
        controls.edit->setModified(false);
    }

    QLabel* percent_ = nullptr;
};

// --- colours -------------------------------------------------------------------------

// A button that opens the colour dialog, with the swatch beside it.
void AddColourRow(const FieldSetup& s, COLORREF* colour, FieldControls& controls) {
    auto* row = new QHBoxLayout;
    auto* button = new QPushButton(Latin(s.field.label), s.parent);
    button->setObjectName(Latin(s.field.name));
    button->setAutoDefault(false);
    auto* swatch = new ColourSwatch(s.parent);
    swatch->setObjectName(Latin(s.field.name) + QStringLiteral("Swatch"));
    swatch->setFixedSize(DialogUnits(s.parent, 30, 12));
    swatch->SetColour(*colour);
    controls.colourButton = button;
    controls.swatch = swatch;
    controls.inputs.push_back(button);
    // colour points into the panel's copy, which lives as long as the panel.
    QWidget* parent = s.parent;
    QObject::connect(button, &QPushButton::clicked, button, [parent, colour, swatch] {
        if (PickColour(colour, parent)) swatch->SetColour(*colour);
    });
    row->addWidget(button);
    row->addWidget(swatch);
    row->addStretch();
    s.into->addLayout(row);
}

class ColourWidget : public FieldWidget {
  public:
    explicit ColourWidget(const FieldSetup& s) : FieldWidget(s.field, s.work) {
        AddColourRow(s, std::get<COLORREF*>(field.At(work)), controls);
    }
};

// The colour, and with two choices declared the buttons for colour or picture.
class BackgroundWidget : public FieldWidget {
  public:
    explicit BackgroundWidget(const FieldSetup& s) : FieldWidget(s.field, s.work) {
        Background* background = std::get<Background*>(field.At(work));
        if (field.choices.size() >= 2) {
            controls.choices = new QButtonGroup(s.parent);
            auto* row = new QHBoxLayout;
            for (int i = 0; i < 2; ++i) {
                auto* button = new QRadioButton(Latin(field.choices[i].label), s.parent);
                button->setChecked((background->useImage != 0) == (i == 1));
                controls.choices->addButton(button, i);
                controls.inputs.push_back(button);
                row->addWidget(button);
            }
            QObject::connect(controls.choices, &QButtonGroup::idClicked, s.parent,
                             [background, changed = s.changed](int id) {
                                 background->useImage = id;
                                 changed();
                             });
            s.into->addLayout(row);
        }
        AddColourRow(s, &background->colour, controls);
    }

    int RuleValue() const override { return std::get<Background*>(field.At(work))->useImage; }

    // With the picture chosen there is no colour to pick.
    void SetEnabled(bool enabled) override {
        FieldWidget::SetEnabled(enabled);
        if (controls.choices != nullptr) {
            const bool colour = enabled && RuleValue() == 0;
            controls.colourButton->setEnabled(colour);
            controls.swatch->setEnabled(colour);
        }
    }
};

// --- choices -------------------------------------------------------------------------

// Radio buttons in a box titled by the label (inside a group of the same
// title they need no box of their own), row by row over the declared columns.
class ChoiceWidget : public FieldWidget {
  public:
    explicit ChoiceWidget(const FieldSetup& s) : FieldWidget(s.field, s.work) {
        QWidget* holder = s.parent;
        auto* grid = new QGridLayout;
        if (!SameName(field.group, field.label)) {
            auto* box = new QGroupBox(Latin(field.label), s.parent);
            box->setObjectName(Latin(field.name));
            box->setLayout(grid);
            holder = box;
            s.into->addWidget(box);
        } else {
            s.into->addLayout(grid);
        }
        int* value = std::get<int*>(field.At(work));
        controls.choices = new QButtonGroup(s.parent);
        const int columns = field.columns > 0 ? field.columns : 1;
        int i = 0;
        for (const ParamChoice& choice : field.choices) {
            auto* button = new QRadioButton(Latin(choice.label), holder);
            SetControlId(button, choice.value);
            button->setChecked(choice.value == *value);
            controls.choices->addButton(button, choice.value);
            controls.inputs.push_back(button);
            grid->addWidget(button, i / columns, i % columns);
            ++i;
        }
        QObject::connect(controls.choices, &QButtonGroup::idClicked, s.parent,
                         [value, changed = s.changed](int id) {
                             *value = id;
                             changed();
                         });
    }
};

// The labels in a drop-down list, titled by the label unless a group of the
// same title holds it.
class ListWidget : public FieldWidget {
  public:
    explicit ListWidget(const FieldSetup& s) : FieldWidget(s.field, s.work) {
        if (!SameName(field.group, field.label))
            s.into->addWidget(new QLabel(Latin(field.label), s.parent));
        int* value = std::get<int*>(field.At(work));
        controls.list = new QComboBox(s.parent);
        controls.list->setObjectName(Latin(field.name));
        for (const ParamChoice& choice : field.choices) {
            controls.list->addItem(Latin(choice.label), choice.value);
            if (choice.value == *value) controls.list->setCurrentIndex(controls.list->count() - 1);
        }
        controls.inputs.push_back(controls.list);
        s.into->addWidget(controls.list);
        QObject::connect(controls.list, &QComboBox::activated, s.parent,
                         [this, value, changed = s.changed](int index) {
                             *value = controls.list->itemData(index).toInt();
                             changed();
                         });
    }
};

// --- texts ---------------------------------------------------------------------------

// Refuses what would not fit the field's bytes as UTF-8, so that the edit
// takes no more characters than the field holds.
class Utf8LengthValidator : public QValidator {
  public:
    Utf8LengthValidator(qsizetype bytes, QObject* parent) : QValidator(parent), bytes_(bytes) {}
    State validate(QString& input, int&) const override {
        return input.toUtf8().size() <= bytes_ ? Acceptable : Invalid;
    }

  private:
    qsizetype bytes_;
};

class TextWidget : public FieldWidget {
  public:
    explicit TextWidget(const FieldSetup& s) : FieldWidget(s.field, s.work) {
        const TextRef text = std::get<TextRef>(field.At(work));
        s.into->addWidget(new QLabel(Latin(field.label), s.parent));
        controls.edit = new QLineEdit(s.parent);
        controls.edit->setObjectName(Latin(field.name));
        controls.edit->setText(QString::fromUtf8(
            text.text, static_cast<qsizetype>(strnlen(text.text, text.capacity))));
        const auto bytes = static_cast<qsizetype>(text.capacity) - 1;
        controls.edit->setMaxLength(static_cast<int>(bytes));
        controls.edit->setValidator(new Utf8LengthValidator(bytes, controls.edit));
        controls.inputs.push_back(controls.edit);
        s.into->addWidget(controls.edit);
    }

    bool Accept() override {
        const TextRef text = std::get<TextRef>(field.At(work));
        QString typed = controls.edit->text();
        if (field.min >= 1 && CountNonWhitespace(typed.toUtf8().toStdString()) == 0) {
            const std::string box = Named(field.label);
            if (typed.isEmpty())
                ErrorBox("You must type at least one character\nin the \"%s\" box", box.c_str());
            else
                ErrorBox("You must type at least one (non space) character\nin the \"%s\" box",
                         box.c_str());
            controls.edit->setFocus();
            return false;
        }
        // Whole characters only: a text cut inside one would not read back.
        QByteArray bytes = typed.toUtf8();
        while (static_cast<size_t>(bytes.size()) >= text.capacity) {
            typed.chop(typed.size() >= 2 && typed.back().isLowSurrogate() ? 2 : 1);
            bytes = typed.toUtf8();
        }
        std::memset(text.text, 0, text.capacity);
        std::memcpy(text.text, bytes.constData(), static_cast<size_t>(bytes.size()));
        return true;
    }
};

template <class Widget>
std::unique_ptr<FieldWidget> Make(const FieldSetup& setup) {
    return std::make_unique<Widget>(setup);
}

std::unique_ptr<FieldWidget> MakeChoice(const FieldSetup& setup) {
    if (setup.field.control == ParamControl::List) return std::make_unique<ListWidget>(setup);
    return std::make_unique<ChoiceWidget>(setup);
}

// Indexed by ParamKind.
constexpr FieldWidgetMaker kMakers[] = {
    Make<FlagWidget>, Make<NumberWidget>,     Make<NumberWidget>, Make<ColourWidget>,
    MakeChoice,       Make<BackgroundWidget>, Make<TextWidget>,   MakeFigureWidget,
};
static_assert(std::size(kMakers) == static_cast<size_t>(ParamKind::Figure) + 1,
              "one widget per kind, in the order of ParamKind");

}  // namespace

// --- widgets in general --------------------------------------------------------------

int FieldWidget::RuleValue() const {
    const FieldRef value = field.At(work);
    const int* const* number = std::get_if<int*>(&value);
    return number != nullptr ? **number : 0;
}

void FieldWidget::SetEnabled(bool enabled) {
    for (QWidget* w : controls.inputs)
        w->setEnabled(enabled);
}

// --- the panel -----------------------------------------------------------------------

XformPanel::XformPanel(QWidget* parent, const XformRow& row, const CFilSpec& filSpec)
    : QDialog(parent), row_(row), work_(filSpec) {
    setWindowTitle(Latin(row.panelTitle));
    auto* layout = new QVBoxLayout(this);

    // "Wizard chooses" first: it rules all the others.
    if (const BoundField* wizard = row.Field(kWizardField)) AddField(*wizard, layout);
    // The other fields in declaration order, each group (consecutive fields
    // of one group) or lone field a block of its own.
    std::vector<QWidget*> blocks;
    const BoundField* previous = nullptr;
    QVBoxLayout* groupLayout = nullptr;
    // Consecutive vertical sliders of one group (or of none) stand side by
    // side in a row, each in a column of its own.
    QHBoxLayout* sideBySide = nullptr;
    for (const BoundField& field : row.fields) {
        if (SameName(field.name, kWizardField) || field.control == ParamControl::None) continue;
        const bool vertical = IsVertical(field.control);
        if (vertical && sideBySide != nullptr && previous != nullptr &&
            IsVertical(previous->control) &&
            (previous->group == field.group || SameName(previous->group, field.group))) {
            auto* column = new QVBoxLayout;
            sideBySide->addLayout(column);
            AddField(field, column);
            previous = &field;
            continue;
        }
        QVBoxLayout* into = nullptr;
        if (field.group == nullptr) {
            groupLayout = nullptr;
            auto* block = new QWidget(this);
            into = new QVBoxLayout(block);
            into->setContentsMargins(0, 0, 0, 0);
            blocks.push_back(block);
        } else {
            if (previous == nullptr || !SameName(previous->group, field.group) ||
                groupLayout == nullptr) {
                auto* box = new QGroupBox(Latin(field.group), this);
                groupLayout = new QVBoxLayout(box);
                blocks.push_back(box);
            }
            into = groupLayout;
        }
        sideBySide = nullptr;
        if (vertical) {
            sideBySide = new QHBoxLayout;
            into->addLayout(sideBySide);
            auto* column = new QVBoxLayout;
            sideBySide->addLayout(column);
            into = column;
        }
        AddField(field, into);
        previous = &field;
    }
    // Four blocks or more go into two columns, the first half on the left.
    const size_t leftCount = blocks.size() >= 4 ? (blocks.size() + 1) / 2 : blocks.size();
    auto* columns = new QHBoxLayout;
    auto addColumn = [columns, &blocks](size_t first, size_t last) {
        auto* column = new QVBoxLayout;
        for (size_t i = first; i < last; ++i)
            column->addWidget(blocks[i]);
        column->addStretch();
        columns->addLayout(column);
    };
    addColumn(0, leftCount);
    if (leftCount < blocks.size()) addColumn(leftCount, blocks.size());
    layout->addLayout(columns);

    if (row.helpText != nullptr) AddHelpLine(layout, Latin(row.helpText));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    AddOkCancel(this, buttons);
    layout->addLayout(buttons);

    for (const auto& widget : widgets_) {
        if (widget->controls.pair != nullptr) widget->controls.pair->Init();
    }
    ApplyEnableRule();
}

XformPanel::~XformPanel() = default;

void XformPanel::AddField(const BoundField& field, QVBoxLayout* into) {
    const FieldSetup setup{this,
                           field,
                           work_,
                           into,
                           [this] { ApplyEnableRule(); },
                           [this](const char* name) { return RuleValue(name); }};
    widgets_.push_back(kMakers[static_cast<size_t>(field.kind)](setup));
}

int XformPanel::RuleValue(const char* name) const {
    const FieldWidget* widget = Find(name);
    return widget != nullptr ? widget->RuleValue() : 0;
}

void XformPanel::ApplyEnableRule() {
    const bool wizard = RuleValue(kWizardField) != 0;
    for (const auto& widget : widgets_) {
        const BoundField& field = widget->field;
        if (SameName(field.name, kWizardField)) continue;
        bool enabled = !wizard;
        if (enabled && field.enabledBy != nullptr) {
            const int by = RuleValue(field.enabledBy);
            enabled = field.enabledAt >= 0 ? by == field.enabledAt : by != field.disabledAt;
        }
        widget->SetEnabled(enabled);
    }
}

void XformPanel::accept() {
    // Each set of flags of which one at least must be ticked, first: what
    // no field can say alone.
    for (const auto& widget : widgets_) {
        const char* message = widget->field.oneOfMessage;
        if (message == nullptr) continue;
        bool ticked = false;
        for (const auto& other : widgets_)
            ticked = ticked || (SameName(other->field.oneOfMessage, message) && other->RuleValue());
        if (!ticked) {
            ErrorBox("%s", message);
            return;
        }
    }
    for (const auto& widget : widgets_) {
        if (!widget->Accept()) return;
    }
    for (const auto& widget : widgets_)
        widget->Store();
    QDialog::accept();
}

void XformPanel::done(int result) {
    for (const auto& widget : widgets_)
        widget->Close();
    QDialog::done(result);
}

void XformPanel::Store(CFilSpec& filSpec) const {
    row_.copyBlock(filSpec, work_);
}

const FieldWidget* XformPanel::Find(const char* name) const {
    for (const auto& widget : widgets_) {
        if (SameName(widget->field.name, name)) return widget.get();
    }
    return nullptr;
}

const FieldControls* XformPanel::ControlsOf(const char* name) const {
    const FieldWidget* widget = Find(name);
    return widget != nullptr ? &widget->controls : nullptr;
}

QCheckBox* XformPanel::CheckBox(const char* name) const {
    const FieldControls* c = ControlsOf(name);
    return c ? c->check : nullptr;
}

SliderPair* XformPanel::Pair(const char* name) const {
    const FieldControls* c = ControlsOf(name);
    return c ? c->pair : nullptr;
}

QLineEdit* XformPanel::Edit(const char* name) const {
    const FieldControls* c = ControlsOf(name);
    return c ? c->edit : nullptr;
}

QWidget* XformPanel::ColourButton(const char* name) const {
    const FieldControls* c = ControlsOf(name);
    return c ? c->colourButton : nullptr;
}

ColourSwatch* XformPanel::Swatch(const char* name) const {
    const FieldControls* c = ControlsOf(name);
    return c ? c->swatch : nullptr;
}

QButtonGroup* XformPanel::Choices(const char* name) const {
    const FieldControls* c = ControlsOf(name);
    return c ? c->choices : nullptr;
}

QComboBox* XformPanel::List(const char* name) const {
    const FieldControls* c = ControlsOf(name);
    return c ? c->list : nullptr;
}

QPushButton* XformPanel::FigureButton(const char* name) const {
    const FieldControls* c = ControlsOf(name);
    return c ? c->figureButton : nullptr;
}

FigurePreview* XformPanel::Preview(const char* name) const {
    const FieldControls* c = ControlsOf(name);
    return c ? c->preview : nullptr;
}

std::vector<QWidget*> XformPanel::Inputs(const char* name) const {
    const FieldControls* c = ControlsOf(name);
    return c ? c->inputs : std::vector<QWidget*>{};
}

int RunXformSettingsPanel(QWidget* parent, CFilSpec& filSpec, int xformIndex) {
    const XformRow* row = FindXform(xformIndex);
    if (row == nullptr || !row->Draws()) {
        ErrorBox("CFilSpec::OCP, Xforms %d not\n(yet) supported", xformIndex);
        return 0;
    }
    XformPanel panel(parent, *row, filSpec);
    if (panel.exec() != QDialog::Accepted) return 0;
    panel.Store(filSpec);
    return 1;
}
