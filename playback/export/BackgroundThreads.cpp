#include "playback/export/BackgroundThreads.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "playback/GstSupport.h"

extern "C" {

struct TarvoBackgroundPool {
  GstTaskPool parent;
};

struct TarvoBackgroundPoolClass {
  GstTaskPoolClass parent_class;
};
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
G_DEFINE_TYPE(TarvoBackgroundPool, tarvo_background_pool, GST_TYPE_TASK_POOL)
#pragma GCC diagnostic pop

namespace clipexport {
namespace {

constexpr int kLowestNice = 19;

struct BackgroundThread {
  pthread_t thread{};
  GstTaskPoolFunction function = nullptr;
  gpointer data = nullptr;
};

void* ThreadMain(void* argument) {
  auto* self = static_cast<BackgroundThread*>(argument);
  // On Linux the nice value belongs to the thread, and threads it starts inherit it.
  const pid_t thread = gettid();
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
  if (errno == 0)
    setpriority(PRIO_PROCESS, static_cast<id_t>(thread), std::min(kLowestNice, nice + kBackgroundNiceIncrement));
  self->function(self->data);
  return nullptr;
}

gpointer Push(GstTaskPool*, GstTaskPoolFunction function, gpointer data, GError** error) {
  auto* self = new BackgroundThread;
  self->function = function;
  self->data = data;
  if (pthread_create(&self->thread, nullptr, ThreadMain, self) != 0) {
    delete self;
    g_set_error(error, GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_FAILED, "cannot start a streaming thread");
    return nullptr;
  }
  return self;
}

void Join(GstTaskPool*, gpointer id) {
  auto* self = static_cast<BackgroundThread*>(id);
  pthread_join(self->thread, nullptr);
  delete self;
}

void DisposeHandle(GstTaskPool*, gpointer id) {
  auto* self = static_cast<BackgroundThread*>(id);
  pthread_detach(self->thread);
  delete self;
}

void Prepare(GstTaskPool*, GError**) {}
void Cleanup(GstTaskPool*) {}

GstTaskPool* ThePool() {
  static GstTaskPool* pool = [] {
    auto* made = static_cast<GstTaskPool*>(g_object_new(tarvo_background_pool_get_type(), nullptr));
    gst_object_ref_sink(made);
    return made;
  }();
  return pool;
}

GstBusSyncReply OnSyncMessage(GstBus*, GstMessage* message, gpointer) {
  if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_STREAM_STATUS) return GST_BUS_PASS;
  GstStreamStatusType type;
  GstElement* owner = nullptr;
  gst_message_parse_stream_status(message, &type, &owner);
  if (type != GST_STREAM_STATUS_TYPE_CREATE) return GST_BUS_PASS;
  const GValue* value = gst_message_get_stream_status_object(message);
  if (value && G_VALUE_HOLDS_OBJECT(value)) {
    GObject* object = static_cast<GObject*>(g_value_get_object(value));
    if (object && GST_IS_TASK(object)) gst_task_set_pool(GST_TASK(object), ThePool());
  }
  return GST_BUS_PASS;
}

}  // namespace

void RunInBackground(GstElement* pipeline) {
  const playback::BusRef bus(gst_element_get_bus(pipeline));
  if (bus) gst_bus_set_sync_handler(bus.get(), OnSyncMessage, nullptr, nullptr);
}

}  // namespace clipexport

static void tarvo_background_pool_class_init(TarvoBackgroundPoolClass* klass) {
  GstTaskPoolClass* pool = GST_TASK_POOL_CLASS(klass);
  pool->prepare = clipexport::Prepare;
  pool->cleanup = clipexport::Cleanup;
  pool->push = clipexport::Push;
  pool->join = clipexport::Join;
  pool->dispose_handle = clipexport::DisposeHandle;
}

static void tarvo_background_pool_init(TarvoBackgroundPool*) {}
