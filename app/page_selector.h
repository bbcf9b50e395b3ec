#pragma once
// A drop-down selector with an edit field whose entries carry an integer
// value and stay in the order they were added.

#include <QComboBox>
#include <functional>

namespace orvendel {

class PageSelector final : public QComboBox {
 public:
  explicit PageSelector(QWidget* parent = nullptr);

  // handler runs when the user has chosen an entry from the drop-down list
  // (by mouse or by keys inside the open list), once that entry is current;
  // choosing the current entry again runs it again. Typing into the edit
  // field, Enter there, arrow keys and the wheel on the closed selector may
  // change the text or the entry but never run handler, and nothing typed is
  // ever added as an entry.
  void set_choice_handler(std::function<void()> handler);

 protected:
  // Every event of the selector itself (keys, wheel, focus) is handled
  // quietly: only the drop-down list, a widget of its own, makes a choice.
  bool event(QEvent* event) override;

 private:
  friend class QuietLineEdit;

  std::function<void()> choice_handler_;
  bool quiet_ = false;  // an event of the selector or its edit field is being handled
};

}  // namespace orvendel
