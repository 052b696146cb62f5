#include "platform/x11/x11_shared_memory.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>

namespace platform::x11 {

std::unique_ptr<X11SharedMemory> X11SharedMemory::Attach(xcb_connection_t* connection, std::size_t bytes,
                                                         Refusal& refusal) {
    refusal = Refusal::ThisSize;
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) {
        return nullptr;
    }
    void* memory = shmat(id, nullptr, 0);
    // shmat's failure is the address -1.
    if (reinterpret_cast<std::intptr_t>(memory) == -1) {
        shmctl(id, IPC_RMID, nullptr);
        return nullptr;
    }
    const xcb_shm_seg_t segment = xcb_generate_id(connection);
    xcb_generic_error_t* error =
        xcb_request_check(connection, xcb_shm_attach_checked(connection, segment, static_cast<std::uint32_t>(id), 0));
    shmctl(id, IPC_RMID, nullptr);
    if (error != nullptr) {
        std::free(error);
        shmdt(memory);
        refusal = Refusal::ForGood;
        return nullptr;
    }
    refusal = Refusal::None;
    return std::make_unique<X11SharedMemory>(connection, segment, static_cast<std::uint8_t*>(memory));
}

X11SharedMemory::~X11SharedMemory() {
    xcb_shm_detach(connection_, segment_);
    xcb_flush(connection_);
    shmdt(memory_);
}

}  // namespace platform::x11
