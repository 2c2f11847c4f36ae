// The tray icon as a StatusNotifierItem: an object on the session bus that
// the desktop's StatusNotifierWatcher is told about and that the desktop's
// notification area reads (icon pixels, tip) and calls (Activate,
// ContextMenu). The item lives on a private bus connection that is open
// while the icon is shown: closing it is how an item leaves the desktop.
#include <dbus/dbus.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "platform/encoding.h"
#include "platform/tray.h"

namespace nv::platform {

namespace {

constexpr const char* kItemPath = "/StatusNotifierItem";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";

constexpr const char* kIntrospection =
    "<!DOCTYPE node PUBLIC \"-//freedesktop//DTD D-BUS Object Introspection 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd\">\n"
    "<node>\n"
    " <interface name=\"org.kde.StatusNotifierItem\">\n"
    "  <property name=\"Category\" type=\"s\" access=\"read\"/>\n"
    "  <property name=\"Id\" type=\"s\" access=\"read\"/>\n"
    "  <property name=\"Title\" type=\"s\" access=\"read\"/>\n"
    "  <property name=\"Status\" type=\"s\" access=\"read\"/>\n"
    "  <property name=\"WindowId\" type=\"i\" access=\"read\"/>\n"
    "  <property name=\"IconName\" type=\"s\" access=\"read\"/>\n"
    "  <property name=\"IconPixmap\" type=\"a(iiay)\" access=\"read\"/>\n"
    "  <property name=\"ToolTip\" type=\"(sa(iiay)ss)\" access=\"read\"/>\n"
    "  <property name=\"ItemIsMenu\" type=\"b\" access=\"read\"/>\n"
    "  <property name=\"Menu\" type=\"o\" access=\"read\"/>\n"
    "  <method name=\"Activate\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
    "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>\n"
    "  <method name=\"SecondaryActivate\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
    "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>\n"
    "  <method name=\"ContextMenu\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
    "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>\n"
    "  <method name=\"Scroll\"><arg name=\"delta\" type=\"i\" direction=\"in\"/>"
    "<arg name=\"orientation\" type=\"s\" direction=\"in\"/></method>\n"
    "  <signal name=\"NewTitle\"/>\n  <signal name=\"NewIcon\"/>\n  <signal name=\"NewToolTip\"/>\n"
    "  <signal name=\"NewStatus\"><arg name=\"status\" type=\"s\"/></signal>\n"
    " </interface>\n"
    " <interface name=\"org.freedesktop.DBus.Properties\">\n"
    "  <method name=\"Get\"><arg type=\"s\" direction=\"in\"/><arg type=\"s\" direction=\"in\"/>"
    "<arg type=\"v\" direction=\"out\"/></method>\n"
    "  <method name=\"GetAll\"><arg type=\"s\" direction=\"in\"/><arg type=\"a{sv}\" direction=\"out\"/></method>\n"
    " </interface>\n"
    " <interface name=\"org.freedesktop.DBus.Introspectable\">\n"
    "  <method name=\"Introspect\"><arg type=\"s\" direction=\"out\"/></method>\n"
    " </interface>\n"
    "</node>\n";

const char* const kPropertyNames[] = {"Category", "Id",          "Title",      "Status", "WindowId",
                                      "IconName", "IconPixmap", "ToolTip",    "ItemIsMenu", "Menu"};

bool session_bus_reachable() {
  if (const char* a = std::getenv("DBUS_SESSION_BUS_ADDRESS"); a && *a) return true;
  // Without an address libdbus would try the user's runtime folder, then
  // start a bus of its own; only the first is wanted.
  const char* run = std::getenv("XDG_RUNTIME_DIR");
  if (!run || !*run) return false;
  struct stat st{};
  return stat((std::string(run) + "/bus").c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

class StatusNotifierTray final : public Tray {
 public:
  explicit StatusNotifierTray(std::string id) : id_(std::move(id)) {}
  ~StatusNotifierTray() override { disconnect(); }

  bool show(const TrayIcon& icon) override {
    icon_ = icon;
    icon_.pixels.resize(kTrayIconSize * kTrayIconSize, 0u);
    shown_ = true;
    if (!conn_ && !connect()) return false;
    emit("NewIcon");
    emit("NewToolTip");
    emit("NewTitle");
    dbus_connection_flush(conn_);
    return true;
  }

  void hide() override {
    shown_ = false;
    disconnect();
  }

  bool shown() const override { return shown_; }
  bool hosted() const override { return hosted_; }

  void pump(TrayEvents& sink) override {
    if (conn_) {
      dbus_connection_read_write(conn_, 0);
      while (dbus_connection_dispatch(conn_) == DBUS_DISPATCH_DATA_REMAINS) {
      }
      if (!dbus_connection_get_is_connected(conn_)) {
        // The bus went away; the icon stays remembered as shown.
        disconnect();
      }
    }
    std::vector<Event> now;
    now.swap(events_);
    for (const Event& e : now) {
      if (e.menu) sink.on_tray_context_menu(e.x, e.y);
      else sink.on_tray_activate(e.x, e.y);
    }
  }

 private:
  struct Event {
    bool menu;
    int x, y;
  };

  bool connect() {
    if (!session_bus_reachable()) return false;
    DBusError err;
    dbus_error_init(&err);
    conn_ = dbus_bus_get_private(DBUS_BUS_SESSION, &err);
    if (!conn_) {
      dbus_error_free(&err);
      return false;
    }
    dbus_connection_set_exit_on_disconnect(conn_, FALSE);
    static const DBusObjectPathVTable vtable = {nullptr, &StatusNotifierTray::on_item_message, nullptr,
                                                nullptr, nullptr, nullptr};
    if (!dbus_connection_register_object_path(conn_, kItemPath, &vtable, this) ||
        !dbus_connection_add_filter(conn_, &StatusNotifierTray::on_bus_signal, this, nullptr)) {
      disconnect();
      return false;
    }
    // The watcher may come later (a panel started after the title).
    const std::string rule = std::string("type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                                         "member='NameOwnerChanged',arg0='") + kWatcherName + "'";
    dbus_bus_add_match(conn_, rule.c_str(), &err);
    if (dbus_error_is_set(&err)) dbus_error_free(&err);
    hosted_ = false;
    if (dbus_bus_name_has_owner(conn_, kWatcherName, &err)) register_with_watcher();
    if (dbus_error_is_set(&err)) dbus_error_free(&err);
    return true;
  }

  void disconnect() {
    if (!conn_) return;
    dbus_connection_remove_filter(conn_, &StatusNotifierTray::on_bus_signal, this);
    dbus_connection_unregister_object_path(conn_, kItemPath);
    dbus_connection_close(conn_);
    dbus_connection_unref(conn_);
    conn_ = nullptr;
    hosted_ = false;
  }

  // Tells the watcher about the item; no reply is awaited, since a
  // watcher may read the item's properties before it answers.
  void register_with_watcher() {
    DBusMessage* m = dbus_message_new_method_call(kWatcherName, kWatcherPath, kWatcherName,
                                                  "RegisterStatusNotifierItem");
    if (!m) return;
    const char* me = dbus_bus_get_unique_name(conn_);
    if (me && dbus_message_append_args(m, DBUS_TYPE_STRING, &me, DBUS_TYPE_INVALID)) {
      dbus_message_set_no_reply(m, TRUE);
      hosted_ = dbus_connection_send(conn_, m, nullptr);
      dbus_connection_flush(conn_);
    }
    dbus_message_unref(m);
  }

  void emit(const char* signal) {
    if (!conn_) return;
    if (DBusMessage* s = dbus_message_new_signal(kItemPath, kItemInterface, signal)) {
      dbus_connection_send(conn_, s, nullptr);
      dbus_message_unref(s);
    }
  }

  std::string title_utf8() const { return icon_.tip.empty() ? id_ : sjis_to_utf8(icon_.tip); }

  static void append_string(DBusMessageIter* it, const std::string& s) {
    const char* p = s.c_str();
    dbus_message_iter_append_basic(it, DBUS_TYPE_STRING, &p);
  }

  // a(iiay): one 16 x 16 picture, ARGB32 in network byte order.
  void append_pixmaps(DBusMessageIter* it) const {
    DBusMessageIter arr, st, bytes;
    dbus_message_iter_open_container(it, DBUS_TYPE_ARRAY, "(iiay)", &arr);
    dbus_message_iter_open_container(&arr, DBUS_TYPE_STRUCT, nullptr, &st);
    const dbus_int32_t size = kTrayIconSize;
    dbus_message_iter_append_basic(&st, DBUS_TYPE_INT32, &size);
    dbus_message_iter_append_basic(&st, DBUS_TYPE_INT32, &size);
    std::vector<unsigned char> argb;
    argb.reserve(icon_.pixels.size() * 4);
    for (uint32_t p : icon_.pixels) {
      argb.push_back(static_cast<unsigned char>(p >> 24));
      argb.push_back(static_cast<unsigned char>(p >> 16));
      argb.push_back(static_cast<unsigned char>(p >> 8));
      argb.push_back(static_cast<unsigned char>(p));
    }
    dbus_message_iter_open_container(&st, DBUS_TYPE_ARRAY, "y", &bytes);
    const unsigned char* data = argb.data();
    dbus_message_iter_append_fixed_array(&bytes, DBUS_TYPE_BYTE, &data, int(argb.size()));
    dbus_message_iter_close_container(&st, &bytes);
    dbus_message_iter_close_container(&arr, &st);
    dbus_message_iter_close_container(it, &arr);
  }

  // Appends the value of property `name` as a variant; false for a name
  // the item does not have.
  bool append_property(DBusMessageIter* it, const std::string& name) const {
    DBusMessageIter v;
    auto string_value = [&](const std::string& s) {
      dbus_message_iter_open_container(it, DBUS_TYPE_VARIANT, "s", &v);
      append_string(&v, s);
      dbus_message_iter_close_container(it, &v);
    };
    if (name == "Category") string_value("ApplicationStatus");
    else if (name == "Id") string_value(id_);
    else if (name == "Title") string_value(title_utf8());
    else if (name == "Status") string_value("Active");
    else if (name == "IconName") string_value("");
    else if (name == "WindowId") {
      dbus_message_iter_open_container(it, DBUS_TYPE_VARIANT, "i", &v);
      const dbus_int32_t zero = 0;
      dbus_message_iter_append_basic(&v, DBUS_TYPE_INT32, &zero);
      dbus_message_iter_close_container(it, &v);
    } else if (name == "IconPixmap") {
      dbus_message_iter_open_container(it, DBUS_TYPE_VARIANT, "a(iiay)", &v);
      append_pixmaps(&v);
      dbus_message_iter_close_container(it, &v);
    } else if (name == "ToolTip") {
      DBusMessageIter st;
      dbus_message_iter_open_container(it, DBUS_TYPE_VARIANT, "(sa(iiay)ss)", &v);
      dbus_message_iter_open_container(&v, DBUS_TYPE_STRUCT, nullptr, &st);
      append_string(&st, "");
      DBusMessageIter none;
      dbus_message_iter_open_container(&st, DBUS_TYPE_ARRAY, "(iiay)", &none);
      dbus_message_iter_close_container(&st, &none);
      append_string(&st, icon_.tip.empty() ? std::string() : sjis_to_utf8(icon_.tip));
      append_string(&st, "");
      dbus_message_iter_close_container(&v, &st);
      dbus_message_iter_close_container(it, &v);
    } else if (name == "ItemIsMenu") {
      dbus_message_iter_open_container(it, DBUS_TYPE_VARIANT, "b", &v);
      const dbus_bool_t no = FALSE;
      dbus_message_iter_append_basic(&v, DBUS_TYPE_BOOLEAN, &no);
      dbus_message_iter_close_container(it, &v);
    } else if (name == "Menu") {
      dbus_message_iter_open_container(it, DBUS_TYPE_VARIANT, "o", &v);
      const char* path = "/NO_DBUSMENU";
      dbus_message_iter_append_basic(&v, DBUS_TYPE_OBJECT_PATH, &path);
      dbus_message_iter_close_container(it, &v);
    } else {
      return false;
    }
    return true;
  }

  static void reply_error(DBusConnection* c, DBusMessage* m, const char* name, const char* text) {
    if (DBusMessage* r = dbus_message_new_error(m, name, text)) {
      dbus_connection_send(c, r, nullptr);
      dbus_message_unref(r);
    }
  }

  static DBusHandlerResult on_item_message(DBusConnection* c, DBusMessage* m, void* data) {
    auto* self = static_cast<StatusNotifierTray*>(data);
    if (dbus_message_get_type(m) != DBUS_MESSAGE_TYPE_METHOD_CALL) return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    const char* iface = dbus_message_get_interface(m);
    const std::string member = dbus_message_get_member(m) ? dbus_message_get_member(m) : "";
    const std::string in = iface ? iface : "";
    DBusMessage* reply = nullptr;
    if (in == kItemInterface || in.empty()) {
      dbus_int32_t x = 0, y = 0;
      if (member == "Activate" || member == "ContextMenu" || member == "SecondaryActivate") {
        if (!dbus_message_get_args(m, nullptr, DBUS_TYPE_INT32, &x, DBUS_TYPE_INT32, &y, DBUS_TYPE_INVALID)) {
          reply_error(c, m, DBUS_ERROR_INVALID_ARGS, "expected two int32 arguments");
          return DBUS_HANDLER_RESULT_HANDLED;
        }
        if (member == "Activate") self->events_.push_back({false, x, y});
        else if (member == "ContextMenu") self->events_.push_back({true, x, y});
        reply = dbus_message_new_method_return(m);
      } else if (member == "Scroll") {
        reply = dbus_message_new_method_return(m);
      }
    }
    if (!reply && (in == kPropertiesInterface || in.empty())) {
      if (member == "Get") {
        const char* want_iface = nullptr;
        const char* name = nullptr;
        if (dbus_message_get_args(m, nullptr, DBUS_TYPE_STRING, &want_iface, DBUS_TYPE_STRING, &name,
                                  DBUS_TYPE_INVALID)) {
          reply = dbus_message_new_method_return(m);
          DBusMessageIter it;
          dbus_message_iter_init_append(reply, &it);
          if (!self->append_property(&it, name)) {
            dbus_message_unref(reply);
            reply_error(c, m, DBUS_ERROR_UNKNOWN_PROPERTY, "no such property");
            return DBUS_HANDLER_RESULT_HANDLED;
          }
        }
      } else if (member == "GetAll") {
        reply = dbus_message_new_method_return(m);
        DBusMessageIter it, dict, entry;
        dbus_message_iter_init_append(reply, &it);
        dbus_message_iter_open_container(&it, DBUS_TYPE_ARRAY, "{sv}", &dict);
        for (const char* name : kPropertyNames) {
          dbus_message_iter_open_container(&dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
          dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &name);
          self->append_property(&entry, name);
          dbus_message_iter_close_container(&dict, &entry);
        }
        dbus_message_iter_close_container(&it, &dict);
      } else if (member == "Set") {
        reply_error(c, m, DBUS_ERROR_PROPERTY_READ_ONLY, "the item's properties are read-only");
        return DBUS_HANDLER_RESULT_HANDLED;
      }
    }
    if (!reply && in == "org.freedesktop.DBus.Introspectable" && member == "Introspect") {
      reply = dbus_message_new_method_return(m);
      const char* xml = kIntrospection;
      dbus_message_append_args(reply, DBUS_TYPE_STRING, &xml, DBUS_TYPE_INVALID);
    }
    if (!reply) return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    dbus_connection_send(c, reply, nullptr);
    dbus_message_unref(reply);
    return DBUS_HANDLER_RESULT_HANDLED;
  }

  // A watcher appearing (or going away) on the bus.
  static DBusHandlerResult on_bus_signal(DBusConnection*, DBusMessage* m, void* data) {
    auto* self = static_cast<StatusNotifierTray*>(data);
    if (!dbus_message_is_signal(m, "org.freedesktop.DBus", "NameOwnerChanged"))
      return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    const char *name = nullptr, *old_owner = nullptr, *new_owner = nullptr;
    if (dbus_message_get_args(m, nullptr, DBUS_TYPE_STRING, &name, DBUS_TYPE_STRING, &old_owner, DBUS_TYPE_STRING,
                              &new_owner, DBUS_TYPE_INVALID) &&
        std::string(name) == kWatcherName) {
      if (*new_owner) self->register_with_watcher();
      else self->hosted_ = false;
    }
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  }

  std::string id_;
  DBusConnection* conn_ = nullptr;
  TrayIcon icon_;
  bool shown_ = false;
  bool hosted_ = false;
  std::vector<Event> events_;
};

}  // namespace

std::unique_ptr<Tray> make_status_notifier_tray(const std::string& title_id) {
  dbus_threads_init_default();
  return std::make_unique<StatusNotifierTray>(title_id.empty() ? "nivalo" : title_id);
}

}  // namespace nv::platform
