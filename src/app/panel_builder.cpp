#include "app/panel_builder.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/colour_swatch.h"
#include "app/dialogs.h"
#include "app/dlg_helpers.h"
#include "app/figure_chooser.h"
#include "app/slider_pair.h"
#include "util/error_box.h"

namespace {

// A real edit takes at most this many characters.
constexpr int kRealTextLength = 12;

bool SameName(const char* a, const char* b) {
    return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

bool SameGroup(const ParamField* a, const ParamField* b) {
    return a != nullptr && b != nullptr && SameName(a->group, b->group);
}

int* IntAt(const ParamField& f, CFilSpec& filSpec) {
    return static_cast<int*>(f.at(filSpec));
}

double* RealAt(const ParamField& f, CFilSpec& filSpec) {
    return static_cast<double*>(f.at(filSpec));
}

// The figure's two sources, as the ids of its radio buttons.
constexpr int kShapesSource = 0;
constexpr int kBitmapSource = 1;
// The side of the figure's preview, pixels.
constexpr int kPreviewSide = 64;

// The range an integer edit must hold when the panel closes.
void EditRange(const ParamField& f, int* lo, int* hi) {
    const bool wider = f.editMin != 0 || f.editMax != 0;
    *lo = wider ? f.editMin : static_cast<int>(f.min);
    *hi = wider ? f.editMax : static_cast<int>(f.max);
}

int HeldInRange(const ParamField& f, int v) {
    return std::clamp(v, static_cast<int>(f.min), static_cast<int>(f.max));
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

}  // namespace

XformPanel::XformPanel(QWidget* parent, const XformDecl& decl, const CFilSpec& filSpec)
    : QDialog(parent), decl_(decl), work_(filSpec) {
    setWindowTitle(QString::fromLatin1(decl.panelTitle));
    controls_.reserve(decl.fields.size());
    auto* layout = new QVBoxLayout(this);

    // "Wizard chooses" first: it rules all the others.
    if (const ParamField* wizard = FindParamField(decl, decl.wizardField)) {
        AddField(*wizard, layout);
    }
    // The other fields in declaration order, each group (consecutive fields
    // of one group) or lone field a block of its own.
    std::vector<QWidget*> blocks;
    const ParamField* previous = nullptr;
    QVBoxLayout* groupLayout = nullptr;
    for (const ParamField& field : decl.fields) {
        if (SameName(field.name, decl.wizardField)) continue;
        if (field.group == nullptr) {
            groupLayout = nullptr;
            auto* block = new QWidget(this);
            auto* blockLayout = new QVBoxLayout(block);
            blockLayout->setContentsMargins(0, 0, 0, 0);
            AddField(field, blockLayout);
            blocks.push_back(block);
        } else {
            if (!SameGroup(previous, &field) || groupLayout == nullptr) {
                auto* box = new QGroupBox(QString::fromLatin1(field.group), this);
                groupLayout = new QVBoxLayout(box);
                blocks.push_back(box);
            }
            AddField(field, groupLayout);
        }
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

    if (decl.helpText != nullptr) AddHelpLine(layout, QString::fromLatin1(decl.helpText));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    AddOkCancel(this, buttons);
    layout->addLayout(buttons);

    for (FieldControls& c : controls_) {
        if (c.pair != nullptr) c.pair->Init();
    }
    ApplyEnableRule();
}

XformPanel::~XformPanel() = default;

void XformPanel::AddField(const ParamField& field, QVBoxLayout* into) {
    controls_.push_back({});
    const size_t index = controls_.size() - 1;
    FieldControls& c = controls_.back();
    c.field = &field;
    const QString label = QString::fromLatin1(field.label);

    switch (field.kind) {
        case ParamKind::Flag: {
            c.check = new QCheckBox(label, this);
            c.check->setObjectName(QString::fromLatin1(field.name));
            c.check->setChecked(*IntAt(field, work_) != 0);
            connect(c.check, &QCheckBox::clicked, this, [this, index] {
                int* flag = IntAt(*controls_[index].field, work_);
                *flag = *flag != 0 ? 0 : 1;
                controls_[index].check->setChecked(*flag != 0);
                ApplyEnableRule();
            });
            c.inputs.push_back(c.check);
            into->addWidget(c.check);
            break;
        }
        case ParamKind::Int:
        case ParamKind::Real: {
            into->addWidget(new QLabel(label, this));
            const bool real = field.kind == ParamKind::Real;
            if (field.control == ParamControl::Edit) {
                c.edit = new QLineEdit(this);
                c.edit->setObjectName(QString::fromLatin1(field.name));
                if (real) c.edit->setMaxLength(kRealTextLength);
                c.edit->setText(real ? FormatReal(field.format, *RealAt(field, work_))
                                     : QString::number(*IntAt(field, work_)));
                connect(c.edit, &QLineEdit::editingFinished, this,
                        [this, index] { CommitEdit(controls_[index]); });
                c.inputs.push_back(c.edit);
                into->addWidget(c.edit);
                break;
            }
            const auto orientation =
                field.control == ParamControl::VerticalSlider ? Qt::Vertical : Qt::Horizontal;
            c.pair = new SliderPair(orientation, this);
            c.pair->setObjectName(QString::fromLatin1(field.name));
            if (real) {
                c.pair->SetupReal(RealAt(field, work_), field.min, field.max, field.format);
                c.pair->SetMaxTextLength(kRealTextLength);
            } else {
                c.pair->SetupInt(IntAt(field, work_), static_cast<int>(field.min),
                                 static_cast<int>(field.max));
            }
            c.inputs.push_back(c.pair);
            into->addWidget(c.pair);
            break;
        }
        case ParamKind::Colour:
            AddColourRow(c, into, field.label, static_cast<COLORREF*>(field.at(work_)));
            break;
        case ParamKind::Background: {
            auto* background = static_cast<Background*>(field.at(work_));
            if (field.choices.size() >= 2) {
                // Colour or picture: useImage 0 or 1.
                c.choices = new QButtonGroup(this);
                auto* row = new QHBoxLayout;
                for (int i = 0; i < 2; ++i) {
                    auto* button =
                        new QRadioButton(QString::fromLatin1(field.choices[i].label), this);
                    button->setChecked((background->useImage != 0) == (i == 1));
                    c.choices->addButton(button, i);
                    c.inputs.push_back(button);
                    row->addWidget(button);
                }
                connect(c.choices, &QButtonGroup::idClicked, this, [this, index](int id) {
                    static_cast<Background*>(controls_[index].field->at(work_))->useImage = id;
                    ApplyEnableRule();
                });
                into->addLayout(row);
            }
            AddColourRow(c, into, field.label, &background->colour);
            break;
        }
        case ParamKind::Choice: {
            // Inside a group box of the same title the buttons need no box of their own.
            AddChoice(c, into, !SameName(field.group, field.label));
            break;
        }
        case ParamKind::Text: {
            into->addWidget(new QLabel(label, this));
            c.edit = new QLineEdit(this);
            c.edit->setObjectName(QString::fromLatin1(field.name));
            if (field.textCapacity > 1) c.edit->setMaxLength(field.textCapacity - 1);
            c.edit->setText(QString::fromLatin1(static_cast<const char*>(field.at(work_))));
            c.inputs.push_back(c.edit);
            into->addWidget(c.edit);
            break;
        }
        case ParamKind::Figure:
            AddFigure(c, into);
            break;
    }
}

void XformPanel::AddChoice(FieldControls& c, QVBoxLayout* into, bool titled) {
    const ParamField& field = *c.field;
    const size_t index = static_cast<size_t>(&c - controls_.data());
    QWidget* holder = this;
    auto* grid = new QGridLayout;
    if (titled) {
        auto* box = new QGroupBox(QString::fromLatin1(field.label), this);
        box->setObjectName(QString::fromLatin1(field.name));
        box->setLayout(grid);
        holder = box;
        into->addWidget(box);
    } else {
        into->addLayout(grid);
    }
    c.choices = new QButtonGroup(this);
    const int columns = field.columns > 0 ? field.columns : 1;
    const int value = *IntAt(field, work_);
    int i = 0;
    for (const ParamChoice& choice : field.choices) {
        auto* button = new QRadioButton(QString::fromLatin1(choice.label), holder);
        SetControlId(button, choice.value);
        button->setChecked(choice.value == value);
        c.choices->addButton(button, choice.value);
        c.inputs.push_back(button);
        grid->addWidget(button, i / columns, i % columns);
        ++i;
    }
    connect(c.choices, &QButtonGroup::idClicked, this, [this, index](int id) {
        *IntAt(*controls_[index].field, work_) = id;
        ApplyEnableRule();
    });
}

void XformPanel::AddColourRow(FieldControls& c, QVBoxLayout* into, const char* label,
                              COLORREF* colour) {
    auto* row = new QHBoxLayout;
    auto* button = new QPushButton(QString::fromLatin1(label), this);
    button->setObjectName(QString::fromLatin1(c.field->name));
    button->setAutoDefault(false);
    c.swatch = new ColourSwatch(this);
    c.swatch->setObjectName(QString::fromLatin1(c.field->name) + QStringLiteral("Swatch"));
    c.swatch->setFixedSize(DialogUnits(this, 30, 12));
    c.swatch->SetColour(*colour);
    c.colourButton = button;
    c.inputs.push_back(button);
    // colour points into work_, which lives as long as the panel.
    ColourSwatch* swatch = c.swatch;
    connect(button, &QPushButton::clicked, this, [this, colour, swatch] {
        if (PickColour(colour, this)) swatch->SetColour(*colour);
    });
    row->addWidget(button);
    row->addWidget(c.swatch);
    row->addStretch();
    into->addLayout(row);
}

void XformPanel::AddFigure(FieldControls& c, QVBoxLayout* into) {
    const ParamField& field = *c.field;
    const size_t index = static_cast<size_t>(&c - controls_.data());
    c.figure = std::make_unique<PanelFigure>();
    const std::string name = FigureName(c);
    const bool held = !name.empty() && c.figure->Restore(name.c_str());

    auto* grid = new QGridLayout;
    c.choices = new QButtonGroup(this);
    static constexpr const char* kDefaultLabels[] = {"Rectangle", "BitMap"};
    for (int id : {kShapesSource, kBitmapSource}) {
        const size_t i = static_cast<size_t>(id);
        const char* text = i < field.choices.size() ? field.choices[i].label : kDefaultLabels[i];
        auto* button = new QRadioButton(QString::fromLatin1(text), this);
        button->setChecked(held == (id == kBitmapSource));
        c.choices->addButton(button, id);
        c.inputs.push_back(button);
        grid->addWidget(button, id, 0);
    }
    c.figureButton = new QPushButton(QStringLiteral("Image..."), this);
    c.figureButton->setObjectName(QString::fromLatin1(field.name) + QStringLiteral("Image"));
    c.figureButton->setAutoDefault(false);
    c.inputs.push_back(c.figureButton);
    grid->addWidget(c.figureButton, 2, 0);
    c.preview = new FigurePreview(this);
    c.preview->setObjectName(QString::fromLatin1(field.name) + QStringLiteral("Preview"));
    c.preview->setFixedSize(kPreviewSide, kPreviewSide);
    c.preview->SetBitmap(c.figure->Bitmap());
    grid->addWidget(c.preview, 0, 1, 3, 1, Qt::AlignCenter);
    grid->setColumnStretch(2, 1);
    into->addLayout(grid);

    connect(c.choices, &QButtonGroup::idClicked, this, [this, index](int id) {
        if (id == kBitmapSource)
            RunFigureChooser(controls_[index]);
        else
            ApplyEnableRule();
    });
    connect(c.figureButton, &QPushButton::clicked, this,
            [this, index] { RunFigureChooser(controls_[index]); });
}

void XformPanel::RunFigureChooser(FieldControls& c) {
    const bool held = c.figure->Choose(FigureName(c).c_str(), this);
    c.preview->SetBitmap(c.figure->Bitmap());
    c.choices->button(held ? kBitmapSource : kShapesSource)->setChecked(true);
    ApplyEnableRule();
}

std::string XformPanel::FigureName(const FieldControls& c) {
    const char* text = static_cast<const char*>(c.field->at(work_));
    const auto capacity = static_cast<size_t>(std::max(c.field->textCapacity, 0));
    return std::string(text, strnlen(text, capacity));
}

void XformPanel::StoreFigureName(FieldControls& c) {
    const ParamField& f = *c.field;
    if (f.textCapacity <= 0) return;
    std::string name;
    if (c.choices->checkedId() == kBitmapSource) name = c.figure->Store();
    // Names the figure files get are far shorter than any declared capacity.
    const size_t n = std::min(name.size(), static_cast<size_t>(f.textCapacity - 1));
    char* text = static_cast<char*>(f.at(work_));
    std::memset(text, 0, static_cast<size_t>(f.textCapacity));
    std::memcpy(text, name.data(), n);
}

void XformPanel::CommitEdit(FieldControls& c) {
    const ParamField& f = *c.field;
    if (f.kind == ParamKind::Real) {
        double v = ReadReal(c.edit->text());
        if (v < f.min) v = f.min;
        if (v > f.max) v = f.max;
        *RealAt(f, work_) = v;
        c.edit->setText(FormatReal(f.format, v));
    } else if (f.kind == ParamKind::Int) {
        long long typed = 0;
        if (ParseInt(c.edit->text(), &typed)) {
            const auto lo = static_cast<long long>(f.min);
            const auto hi = static_cast<long long>(f.max);
            *IntAt(f, work_) = static_cast<int>(typed < lo ? lo : typed > hi ? hi : typed);
        }
        c.edit->setText(QString::number(*IntAt(f, work_)));
    }
    c.edit->setModified(false);
}

bool XformPanel::CheckEdit(FieldControls& c) {
    const ParamField& f = *c.field;
    if (f.kind == ParamKind::Text) {
        char* text = static_cast<char*>(f.at(work_));
        const QByteArray bytes = c.edit->text().toLatin1();
        const size_t n = std::min(bytes.size(), static_cast<qsizetype>(f.textCapacity - 1));
        if (f.textCapacity > 0) {
            std::memcpy(text, bytes.constData(), n);
            text[n] = '\0';
        }
        return true;
    }
    if (f.kind == ParamKind::Int) {
        long long typed = 0;
        int lo = 0;
        int hi = 0;
        EditRange(f, &lo, &hi);
        if (!ParseInt(c.edit->text(), &typed)) {
            ErrorBox("Please enter an integer.");
        } else if (typed < lo || typed > hi) {
            ErrorBox("Please enter an integer between %d and %d.", lo, hi);
        } else {
            *IntAt(f, work_) = HeldInRange(f, static_cast<int>(typed));
            c.edit->setText(QString::number(*IntAt(f, work_)));
            return true;
        }
        c.edit->setFocus();
        c.edit->selectAll();
        return false;
    }
    if (c.edit->isModified()) CommitEdit(c);
    return true;
}

int XformPanel::IntField(const char* name) {
    const ParamField* f = FindParamField(decl_, name);
    if (f != nullptr && f->kind == ParamKind::Figure) {
        const FieldControls* c = Find(name);
        return c != nullptr && c->choices != nullptr && c->choices->checkedId() == kBitmapSource;
    }
    if (f == nullptr ||
        (f->kind != ParamKind::Flag && f->kind != ParamKind::Int && f->kind != ParamKind::Choice)) {
        return 0;
    }
    return *IntAt(*f, work_);
}

void XformPanel::ApplyEnableRule() {
    const bool wizard = IntField(decl_.wizardField) != 0;
    for (FieldControls& c : controls_) {
        if (SameName(c.field->name, decl_.wizardField)) continue;
        bool enabled = !wizard;
        if (enabled && c.field->enabledBy != nullptr) {
            enabled = IntField(c.field->enabledBy) != c.field->disabledAt;
        }
        // "Image..." only refreshes a bitmap already chosen.
        const bool bitmapSource = c.choices != nullptr && c.choices->checkedId() == kBitmapSource;
        for (QWidget* w : c.inputs)
            w->setEnabled(enabled && (w != c.figureButton || bitmapSource));
    }
}

void XformPanel::accept() {
    for (FieldControls& c : controls_) {
        const ParamField& f = *c.field;
        if (c.pair != nullptr && f.kind == ParamKind::Int && (f.editMin != 0 || f.editMax != 0)) {
            // Checked before the pair's own commit would clamp the text away.
            int typed = 0;
            if (!c.pair->CheckIntegerRange(f.editMin, f.editMax, &typed)) return;
            *IntAt(f, work_) = HeldInRange(f, typed);
            c.pair->SetFromValue();
        } else if (c.pair != nullptr) {
            c.pair->CommitPendingEdit();
        }
        if (c.edit != nullptr && !CheckEdit(c)) return;
    }
    for (FieldControls& c : controls_) {
        if (c.figure) StoreFigureName(c);
    }
    QDialog::accept();
}

void XformPanel::done(int result) {
    for (FieldControls& c : controls_) {
        if (!c.figure) continue;
        c.figure->Release();
        c.preview->SetBitmap(nullptr);
    }
    QDialog::done(result);
}

void XformPanel::Store(CFilSpec& filSpec) const {
    CFilSpec& from = const_cast<CFilSpec&>(work_);
    for (const ParamField& f : decl_.fields) {
        void* to = f.at(filSpec);
        const void* value = f.at(from);
        switch (f.kind) {
            case ParamKind::Flag:
            case ParamKind::Int:
            case ParamKind::Choice:
                std::memcpy(to, value, sizeof(int));
                break;
            case ParamKind::Real:
                std::memcpy(to, value, sizeof(double));
                break;
            case ParamKind::Colour:
                std::memcpy(to, value, sizeof(COLORREF));
                break;
            case ParamKind::Background:
                std::memcpy(to, value, sizeof(Background));
                break;
            case ParamKind::Text:
            case ParamKind::Figure:
                if (f.textCapacity > 0) std::memcpy(to, value, static_cast<size_t>(f.textCapacity));
                break;
        }
    }
}

const XformPanel::FieldControls* XformPanel::Find(const char* name) const {
    for (const FieldControls& c : controls_) {
        if (SameName(c.field->name, name)) return &c;
    }
    return nullptr;
}

QCheckBox* XformPanel::CheckBox(const char* name) const {
    const FieldControls* c = Find(name);
    return c ? c->check : nullptr;
}

SliderPair* XformPanel::Pair(const char* name) const {
    const FieldControls* c = Find(name);
    return c ? c->pair : nullptr;
}

QLineEdit* XformPanel::Edit(const char* name) const {
    const FieldControls* c = Find(name);
    return c ? c->edit : nullptr;
}

QWidget* XformPanel::ColourButton(const char* name) const {
    const FieldControls* c = Find(name);
    return c ? c->colourButton : nullptr;
}

ColourSwatch* XformPanel::Swatch(const char* name) const {
    const FieldControls* c = Find(name);
    return c ? c->swatch : nullptr;
}

QButtonGroup* XformPanel::Choices(const char* name) const {
    const FieldControls* c = Find(name);
    return c ? c->choices : nullptr;
}

QPushButton* XformPanel::FigureButton(const char* name) const {
    const FieldControls* c = Find(name);
    return c ? c->figureButton : nullptr;
}

FigurePreview* XformPanel::Preview(const char* name) const {
    const FieldControls* c = Find(name);
    return c ? c->preview : nullptr;
}

std::vector<QWidget*> XformPanel::Inputs(const char* name) const {
    const FieldControls* c = Find(name);
    return c ? c->inputs : std::vector<QWidget*>{};
}

int RunXformSettingsPanel(QWidget* parent, CFilSpec& filSpec, int xformIndex) {
    const XformDecl* decl = FindXformDecl(xformIndex);
    if (decl == nullptr) {
        ErrorBox("CFilSpec::OCP, Xforms %d not\n(yet) supported", xformIndex);
        return 0;
    }
    XformPanel panel(parent, *decl, filSpec);
    if (panel.exec() != QDialog::Accepted) return 0;
    panel.Store(filSpec);
    return 1;
}
