#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <memory>
#include <optional>

#include "app/commands.h"
#include "app/handlers.h"
#include "app/main_window.h"
#include "app/remembered.h"
#include "app/settings.h"
#include "ui/events.h"

namespace quarvel {

void wire_settings(MainWindow& w) {
  on_edit_committed(w.sampling_hz, guarded(w, [&w] { sampling_hz_lost_focus(w); }));
  on_enter_key(w.sampling_hz, guarded(w, [&w] { sampling_hz_enter(w); }));
  on_edit_committed(w.scr_lng, guarded(w, [&w] { scr_lng_lost_focus(w); }));
  on_enter_key(w.scr_lng, [&w] { w.monitor->setFocus(); });
  on_enter_key(w.file_lng, [&w] { w.monitor->setFocus(); });
  // The length in force when the user began to edit comes back if the edit is refused.
  auto editing = std::make_shared<std::optional<float>>();
  on_user_edit(w.file_lng, guarded(w, [&w, editing] {
                 if (!*editing) *editing = w.s.file_length;
                 file_lng_change(w);
               }));
  on_edit_committed(w.file_lng, guarded(w, [&w, editing] {
                      const float before = editing->value_or(w.s.file_length);
                      editing->reset();
                      file_lng_lost_focus(w, before);
                    }));
  // The stimulus boxes are read when a recording starts; what is typed there is kept at once.
  for (QComboBox* box : {w.dly1, w.stim_num, w.interval})
    on_edit_committed(box, guarded(w, [&w] { keep_typed_settings(w); }));
  for (int i = 0; i < 3; ++i) {
    QComboBox* list = w.ch_list[static_cast<size_t>(i)];
    QObject::connect(list, &QComboBox::activated, &w, guarded(w, [&w, i] { ch_list_click(w, i); }));
    on_focus_moved_away(list, guarded(w, [&w, i] { ch_list_lost_focus(w, i); }));
    on_enter_key(list, [&w] { w.monitor->setFocus(); });
    QObject::connect(w.gain[static_cast<size_t>(i)], &QComboBox::activated, &w,
                     guarded(w, [&w, i] { gain_click(w, i); }));
    QObject::connect(w.ch_select[static_cast<size_t>(i)], &QRadioButton::clicked, &w,
                     guarded(w, [&w, i] { ch_select_click(w, i); }));
  }
}

}  // namespace quarvel
