#include "PanelControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTreeWidget>

#include "panel/PanelLayout.h"

using namespace panel;

const int kMaterialSliders[11] = {kShininess,   kTransparency,  kAmbientBlue,  kAmbientGreen,
                                  kAmbientRed,  kDiffuseRed,    kDiffuseGreen, kDiffuseBlue,
                                  kSpecularRed, kSpecularGreen, kSpecularBlue};
const int kLightSliders[3] = {kLightRed, kLightGreen, kLightBlue};

namespace {

struct Named {
    int id;
    const char* name;
};

// A 32 x 32 square of one pure colour, marking the channel of the slider above it.
QPixmap Swatch(const QColor& color) {
    QPixmap pixmap(32, 32);
    pixmap.fill(color);
    return pixmap;
}

class Builder {
public:
    Builder(QWidget* panel, PanelControls& controls) : m_panel(panel), m_controls(controls) {}

    // A control without words of its own: a screen reader hears the name given here.
    template <class Widget>
    Widget* Add(int id, Widget* widget, const char* name) {
        widget->setAccessibleName(QString::fromLatin1(name));
        return Place(id, widget);
    }

    // A control that shows its words: they are its name, as the toolkit reads them from the
    // caption each time; a longer explanation, if any, is its description.
    template <class Widget>
    Widget* Captioned(int id, Widget* widget, const char* description = nullptr) {
        if (description) widget->setAccessibleDescription(QString::fromLatin1(description));
        return Place(id, widget);
    }

    // The tab control: the tabs along the top of a framed pane that the other controls lie on.
    void TabControl() {
        auto* tabControl = Add(kTab, new QWidget(m_panel), "Tabs");
        m_controls.tabPane = new QFrame(tabControl);
        m_controls.tabPane->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
        m_controls.tab = new QTabBar(tabControl);
        m_controls.tab->setAccessibleName(QStringLiteral("Tabs"));
        m_controls.tab->setDrawBase(false);
        m_controls.tab->setUsesScrollButtons(false);
        tabControl->show();
    }

    QTreeWidget* Tree(int id, const char* name) {
        auto* tree = Add(id, new QTreeWidget(m_panel), name);
        tree->setHeaderHidden(true);
        tree->setRootIsDecorated(true);
        return tree;
    }

    // An information text: empty until the scene fills it; its name is what it shows.
    QLabel* Info(int id, const char* description) {
        auto* label = Captioned(id, new QLabel(m_panel), description);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // A scene's names are data: a name like "<b>" is shown, and read, as it is written.
        label->setTextFormat(Qt::PlainText);
        return label;
    }

    QCheckBox* CheckBox(int id, const char* caption, const char* description) {
        return Captioned(id, new QCheckBox(QString::fromLatin1(caption), m_panel), description);
    }

    QPushButton* Button(int id, const char* text) {
        auto* button = Captioned(id, new QPushButton(QString::fromLatin1(text), m_panel));
        button->setAutoDefault(false);  // Enter presses no button of the panel
        return button;
    }

    void Sliders() {
        static const Named sliders[] = {
            {kShininess, "Shininess"},        {kTransparency, "Transparency"},
            {kAmbientBlue, "Ambient blue"},   {kAmbientGreen, "Ambient green"},
            {kAmbientRed, "Ambient red"},     {kDiffuseRed, "Diffuse red"},
            {kDiffuseGreen, "Diffuse green"}, {kDiffuseBlue, "Diffuse blue"},
            {kSpecularRed, "Specular red"},   {kSpecularGreen, "Specular green"},
            {kSpecularBlue, "Specular blue"}, {kLightRed, "Light red"},
            {kLightGreen, "Light green"},     {kLightBlue, "Light blue"}};
        for (const Named& s : sliders) {
            auto* slider = Add(s.id, new QSlider(Qt::Vertical, m_panel), s.name);
            slider->setRange(0, 255);
            slider->setTickPosition(QSlider::NoTicks);
        }
    }

    void Swatches() {
        static const struct {
            int id;
            Qt::GlobalColor color;
            const char* name;
        } swatches[] = {{kSwatchRed, Qt::red, "Red"},        {kSwatchRed2, Qt::red, "Red"},
                        {kSwatchRed3, Qt::red, "Red"},       {kSwatchGreen, Qt::green, "Green"},
                        {kSwatchGreen2, Qt::green, "Green"}, {kSwatchGreen3, Qt::green, "Green"},
                        {kSwatchBlue, Qt::blue, "Blue"},     {kSwatchBlue2, Qt::blue, "Blue"},
                        {kSwatchBlue3, Qt::blue, "Blue"}};
        for (const auto& s : swatches) {
            auto* label = Add(s.id, new QLabel(m_panel), s.name);
            label->setPixmap(Swatch(s.color));
            label->setScaledContents(true);
        }
    }

    // The group labels keep their small template boxes: a smaller font lets the words fit.
    void GroupLabels() {
        static const struct {
            int id;
            const char* text;
            const char* description;
        } labels[] = {{kAmbientLabel, "Ambient", "Ambient colour of the material"},
                      {kDiffuseLabel, "Diffuse", "Diffuse colour of the material"},
                      {kSpecularLabel, "Specular", "Specular colour of the material"},
                      {kShTrLabel, "Sh / Tr", "Shininess and transparency of the material"}};
        QFont small = m_panel->font();
        small.setPointSizeF(7);
        for (const auto& l : labels)
            Captioned(l.id, new QLabel(QString::fromLatin1(l.text), m_panel), l.description)
                ->setFont(small);
        Captioned(kCameraLabel, new QLabel(QStringLiteral("Select current camera"), m_panel));
    }

    void NoteAndCameras() {
        m_controls.noteBox =
            Add(kNoteBox, new QPlainTextEdit(m_panel), "Note of the current object");
        m_controls.noteBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        // Tab goes on to the next control, as in any dialog's text box; Enter makes new lines.
        m_controls.noteBox->setTabChangesFocus(true);
        // The label beside the list names it; a screen reader that reads the chosen camera as
        // the list's name finds the label through the buddy.
        m_controls.cameraList = Add(kCameraList, new QComboBox(m_panel), "Select current camera");
        m_controls.cameraList->setAccessibleDescription(
            QStringLiteral("The camera the view looks through"));
        static_cast<QLabel*>(m_controls.Control(kCameraLabel))->setBuddy(m_controls.cameraList);
        m_controls.cameraList->setEditable(true);
        m_controls.cameraList->setInsertPolicy(QComboBox::NoInsert);
    }

private:
    template <class Widget>
    Widget* Place(int id, Widget* widget) {
        widget->hide();
        m_controls.byId[id] = widget;
        return widget;
    }

    QWidget* m_panel;
    PanelControls& m_controls;
};

}  // namespace

QWidget* PanelControls::Control(int id) const {
    const auto it = byId.find(id);
    return it == byId.end() ? nullptr : it->second;
}

PanelControls BuildPanelControls(QWidget* panel) {
    PanelControls c;
    Builder b(panel, c);
    b.TabControl();
    c.objectTree = b.Tree(kObjectTree, "Object tree");
    c.materialTree = b.Tree(kMaterialTree, "Material tree");
    c.lightTree = b.Tree(kLightTree, "Light tree");
    b.Tree(kHiddenTree, "Unused tree");
    c.objectText = b.Info(kObjectText, "The object the view marks as current");
    c.materialText = b.Info(kMaterialText, "The material chosen in the material tree");
    c.lightText = b.Info(kLightText, "The chosen light and its diffuse colour");
    c.smoothFlat =
        b.CheckBox(kSmoothFlat, "Smooth/Flat", "Smooth or flat shading of the current object");
    c.lightOnOff = b.CheckBox(kLightOnOff, "Light On/Off", "The chosen light on or off");
    c.applyMaterial = b.Button(kApplyMaterial, "Apply selected material to object");
    c.setColor = b.Button(kSetColor, "Set color");
    c.applyNote = b.Button(kApplyNote, "Apply change");
    c.setFont = b.Button(kSetFont, "Set font");
    c.setBackground = b.Button(kSetBackground, "Set Background");
    b.Sliders();
    b.Swatches();
    b.GroupLabels();
    b.NoteAndCameras();
    return c;
}
