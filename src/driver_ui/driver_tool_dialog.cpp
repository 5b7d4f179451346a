// Dialog 131.
#include "driver_ui/driver_setting_dialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "driver_ui/spread_sheet_view.h"

namespace quillet::driver_ui {

namespace {

// The strip above the grid that holds caption 1051 over the timing columns
// 5 to 7, centred on them and never narrower than its text; it follows the
// columns when their widths or the grid's place change.
class TimingCaption final : public QWidget {
public:
    TimingCaption(const QString& text, SpreadSheetView* sheet, QWidget* parent)
        : QWidget(parent), sheet_(sheet), label_(new QLabel(text, this)) {
        label_->setObjectName(QStringLiteral("1051"));
        label_->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        setMinimumHeight(label_->sizeHint().height());
        connect(sheet_->horizontalHeader(), &QHeaderView::sectionResized, this,
                [this] { Place(); });
        connect(sheet_->horizontalHeader(), &QHeaderView::geometriesChanged, this,
                [this] { Place(); });
        sheet_->installEventFilter(this);
    }

    QSize sizeHint() const override { return label_->sizeHint(); }

protected:
    void resizeEvent(QResizeEvent*) override { Place(); }
    void showEvent(QShowEvent*) override { Place(); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move) Place();
        return QWidget::eventFilter(watched, event);
    }

private:
    void Place() {
        constexpr int kFirst = 4, kLast = 6;  // model columns of grid columns 5 to 7
        if (sheet_->model()->columnCount() <= kLast) return;
        const int start = sheet_->columnViewportPosition(kFirst);
        const int span = sheet_->columnViewportPosition(kLast) + sheet_->columnWidth(kLast) - start;
        const int left = mapFromGlobal(sheet_->viewport()->mapToGlobal(QPoint(start, 0))).x();
        const int width = std::min(std::max(span, label_->sizeHint().width()), this->width());
        const int centred = left + (span - width) / 2;
        label_->setGeometry(std::clamp(centred, 0, std::max(0, this->width() - width)), 0, width,
                            height());
    }

    SpreadSheetView* sheet_;
    QLabel* label_;
};

}  // namespace

CDriverToolDlg::CDriverToolDlg(QWidget* parent)
    : CDriverSettingDlg(driver::DriverSettingKind::Tool, parent) {
    QGridLayout* top = MakeFieldRows("label.layout", "label.tool");
    auto* timing = new TimingCaption(TemplateText("1051"), sheet_, this);
    QHBoxLayout* buttons = MakeButtonRow();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(timing);
    layout->addWidget(sheet_, 1);
    layout->addLayout(buttons);
    resize(800, 580);
    SetTabOrderChain({machineEdit_, nameEdit_, sectionEdit_, sheet_, okButton_, cancelButton_});
}

}  // namespace quillet::driver_ui
