#include "app/page_selector.h"

#include <QLineEdit>
#include <QScopedValueRollback>
#include <utility>

namespace orvendel {

// The edit field; its own events are as quiet as the selector's.
class QuietLineEdit final : public QLineEdit {
 public:
  explicit QuietLineEdit(PageSelector* owner) : QLineEdit(owner), owner_(owner) {}

 protected:
  bool event(QEvent* event) override {
    const QScopedValueRollback quiet(owner_->quiet_, true);
    return QLineEdit::event(event);
  }

 private:
  PageSelector* owner_;
};

PageSelector::PageSelector(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setLineEdit(new QuietLineEdit(this));
  // No completion and no insertion: what is typed stays in the edit field.
  setCompleter(nullptr);
  setInsertPolicy(QComboBox::NoInsert);
  setDuplicatesEnabled(true);
  connect(this, &QComboBox::activated, this, [this] {
    if (!quiet_ && choice_handler_) choice_handler_();
  });
}

void PageSelector::set_choice_handler(std::function<void()> handler) {
  choice_handler_ = std::move(handler);
}

bool PageSelector::event(QEvent* event) {
  const QScopedValueRollback quiet(quiet_, true);
  return QComboBox::event(event);
}

}  // namespace orvendel
