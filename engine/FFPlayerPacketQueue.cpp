#include "engine/FFPlayerPacketQueue.h"

#include "engine/AVCodecStubs.h"

void TPacketQueue::Flush() {
    std::lock_guard Guard(mutex);
    for (TNode& N : Nodes)
        av::av_packet_free(&N.Pkt);
    Nodes.clear();
    nb_packets = size = 0;
}

bool TPacketQueue::Put(AVPacket* APkt) {
    AVPacket* Own = av::av_packet_alloc();
    if (!Own)
        return false;
    av::av_packet_move_ref(Own, APkt);
    std::lock_guard Guard(mutex);
    Nodes.push_back({Own, false});
    ++nb_packets;
    size += Own->size + PACKET_NODE_SIZE;
    cond.notify_all();
    return true;
}

void TPacketQueue::PutFlush() {
    std::lock_guard Guard(mutex);
    Nodes.push_back({nullptr, true});
    ++nb_packets;
    size += PACKET_NODE_SIZE;
    cond.notify_all();
}

void TPacketQueue::Start() {
    {
        std::lock_guard Guard(mutex);
        abort_request = false;
    }
    PutFlush();
}

void TPacketQueue::PutEnd(int AStreamIndex) {
    AVPacket* Pkt = av::av_packet_alloc();
    if (!Pkt)
        return;
    Pkt->stream_index = AStreamIndex;
    std::lock_guard Guard(mutex);
    Nodes.push_back({Pkt, false});
    ++nb_packets;
    size += PACKET_NODE_SIZE;
    cond.notify_all();
}

void TPacketQueue::Abort() {
    std::lock_guard Guard(mutex);
    abort_request = true;
    cond.notify_all();
}

bool TPacketQueue::Aborted() {
    std::lock_guard Guard(mutex);
    return abort_request;
}

int TPacketQueue::Size() {
    std::lock_guard Guard(mutex);
    return size;
}

int TPacketQueue::Count() {
    std::lock_guard Guard(mutex);
    return nb_packets;
}

int TPacketQueue::Get(TNode& ANode, bool ABlock) {
    std::unique_lock Guard(mutex);
    for (;;) {
        if (abort_request)
            return -1;
        if (!Nodes.empty()) {
            ANode = Nodes.front();
            Nodes.pop_front();
            --nb_packets;
            size -= (ANode.Pkt ? ANode.Pkt->size : 0) + PACKET_NODE_SIZE;
            return 1;
        }
        if (!ABlock)
            return 0;
        cond.wait(Guard);
    }
}

bool TPacketQueue::TakeFlush() {
    std::lock_guard Guard(mutex);
    if (abort_request || Nodes.empty() || !Nodes.front().Flush)
        return false;
    Nodes.pop_front();
    --nb_packets;
    size -= PACKET_NODE_SIZE;
    return true;
}
