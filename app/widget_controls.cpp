#include "app/widget_controls.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMetaObject>
#include <QRadioButton>
#include <QThread>
#include <optional>

#include "app/progress_delegate.h"
#include "app/qt_text.h"
#include "app/report_view.h"

namespace orvendel {

WidgetControls::WidgetControls(const std::array<QWidget*, kControlCount>& widgets)
    : widgets_(widgets), gui_(widgets.front()) {}

template <typename Op>
std::invoke_result_t<Op&> WidgetControls::on_gui_thread(Op op) {
  using Result = std::invoke_result_t<Op&>;
  if (QThread::currentThread() == gui_->thread()) return op();
  if constexpr (std::is_void_v<Result>) {
    QMetaObject::invokeMethod(gui_, op, Qt::BlockingQueuedConnection);
  } else {
    std::optional<Result> result;
    QMetaObject::invokeMethod(
        gui_, [&] { result = op(); }, Qt::BlockingQueuedConnection);
    // Empty only when the call was dropped unrun (the window gone).
    return result ? std::move(*result) : Result{};
  }
}

template <typename Widget>
Widget* WidgetControls::widget_as(Control control) const {
  const auto i = static_cast<std::size_t>(control);
  return i < widgets_.size() ? dynamic_cast<Widget*>(widgets_[i]) : nullptr;
}

QTableWidgetItem* WidgetControls::cell_item(ReportView* view, int row, int column) {
  if (view == nullptr || row < 0 || row >= view->rowCount() || column < 0 ||
      column >= view->columnCount()) {
    return nullptr;
  }
  QTableWidgetItem* item = view->item(row, column);
  if (item == nullptr) {
    item = new QTableWidgetItem();
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    view->setItem(row, column, item);
  }
  return item;
}

void WidgetControls::table_add_column(Control list, const Text& title, int width) {
  on_gui_thread([&] {
    auto* view = widget_as<ReportView>(list);
    if (view == nullptr) return;
    const int column = view->columnCount();
    view->setColumnCount(column + 1);
    auto* header = new QTableWidgetItem(to_qstring(title));
    header->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view->setHorizontalHeaderItem(column, header);
    // A column of width 0 is hidden: it keeps its cells but the user cannot
    // drag it open.
    if (width > 0) {
      view->setColumnWidth(column, width);
    } else {
      view->setColumnHidden(column, true);
    }
  });
}

void WidgetControls::table_clear(Control list) {
  on_gui_thread([&] {
    if (auto* view = widget_as<ReportView>(list)) view->setRowCount(0);
  });
}

int WidgetControls::table_append_row(Control list) {
  return on_gui_thread([&] {
    auto* view = widget_as<ReportView>(list);
    if (view == nullptr) return -1;
    const int row = view->rowCount();
    view->insertRow(row);
    return view->rowCount() == row + 1 ? row : -1;
  });
}

void WidgetControls::table_set_cell(Control list, int row, int column, const Text& text) {
  on_gui_thread([&] {
    if (auto* item = cell_item(widget_as<ReportView>(list), row, column)) {
      item->setText(to_qstring(text));
    }
  });
}

Text WidgetControls::table_get_cell(Control list, int row, int column) {
  return on_gui_thread([&]() -> Text {
    auto* view = widget_as<ReportView>(list);
    if (view == nullptr || row < 0 || row >= view->rowCount() || column < 0 ||
        column >= view->columnCount()) {
      return Text();
    }
    const QTableWidgetItem* item = view->item(row, column);
    return item ? to_text(item->text()) : Text();
  });
}

int WidgetControls::table_row_count(Control list) {
  return on_gui_thread([&] {
    auto* view = widget_as<ReportView>(list);
    return view ? view->rowCount() : 0;
  });
}

int WidgetControls::table_selected_row(Control list) {
  return on_gui_thread([&] {
    auto* view = widget_as<ReportView>(list);
    if (view == nullptr) return -1;
    // The model's own list, which unlike the view's includes hidden columns.
    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
  });
}

void WidgetControls::table_set_progress(Control list, int row, int column, Progress progress) {
  on_gui_thread([&] {
    if (auto* item = cell_item(widget_as<ReportView>(list), row, column)) {
      // Never a moment with the new value under the old kind: a bar that goes
      // goes first, a bar that comes has its value first.
      const bool removing = progress.kind == Progress::Kind::kNone;
      if (removing) item->setData(kProgressKindRole, static_cast<int>(progress.kind));
      item->setData(kProgressValueRole, progress.value);
      if (!removing) item->setData(kProgressKindRole, static_cast<int>(progress.kind));
    }
  });
}

void WidgetControls::selector_clear(Control selector) {
  on_gui_thread([&] {
    if (auto* box = widget_as<QComboBox>(selector)) box->clear();
  });
}

int WidgetControls::selector_add(Control selector, const Text& text, int value) {
  return on_gui_thread([&] {
    auto* box = widget_as<QComboBox>(selector);
    if (box == nullptr) return -1;
    const int current = box->currentIndex();
    box->addItem(to_qstring(text), value);
    // The combo box makes the first entry current by itself; an entry is
    // only chosen by the user.
    if (box->currentIndex() != current) box->setCurrentIndex(current);
    return box->count() - 1;
  });
}

int WidgetControls::selector_chosen_index(Control selector) {
  return on_gui_thread([&] {
    auto* box = widget_as<QComboBox>(selector);
    return box ? box->currentIndex() : -1;
  });
}

int WidgetControls::selector_value(Control selector, int index) {
  return on_gui_thread([&] {
    auto* box = widget_as<QComboBox>(selector);
    if (box == nullptr || index < 0 || index >= box->count()) return -1;
    return box->itemData(index).toInt();
  });
}

bool WidgetControls::radio_checked(Control radio) {
  return on_gui_thread([&] {
    auto* button = widget_as<QRadioButton>(radio);
    return button != nullptr && button->isChecked();
  });
}

Text WidgetControls::edit_text(Control edit) {
  return on_gui_thread([&]() -> Text {
    auto* line = widget_as<QLineEdit>(edit);
    return line ? to_text(line->text()) : Text();
  });
}

void WidgetControls::set_caption(Control group, const Text& text) {
  on_gui_thread([&] {
    if (auto* box = widget_as<QGroupBox>(group)) box->setTitle(to_qstring(text));
  });
}

void WidgetControls::run_as_one_step(const std::function<void()>& step) {
  on_gui_thread([&] {
    ++step_depth_;
    struct Leave {
      int& depth;
      ~Leave() { --depth; }
    } leave{step_depth_};
    step();
  });
}

}  // namespace orvendel
