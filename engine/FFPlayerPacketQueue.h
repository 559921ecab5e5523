// The player's packet queues: packets read from the file wait here for their decoder.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

struct AVPacket;

// Bytes counted for each queued node besides its packet's data.
constexpr int PACKET_NODE_SIZE = 72;

// The flush marker is a node without packet: it tells the decoder to drop what it holds (after a
// seek); a packet without data in the video queue means end of file.
struct TPacketQueue {
    struct TNode {
        AVPacket* Pkt = nullptr;
        bool Flush = false;
    };
    std::deque<TNode> Nodes;
    int nb_packets = 0;
    int size = 0;
    bool abort_request = false;
    std::mutex mutex;
    std::condition_variable cond;

    ~TPacketQueue() { Flush(); }
    void Flush();
    // Takes over APkt's data; false when no memory.
    bool Put(AVPacket* APkt);
    void PutFlush();
    // Opens the queue for a new decoder: no longer aborted, the flush marker first.
    void Start();
    void PutEnd(int AStreamIndex);
    void Abort();
    bool Aborted();
    int Size();
    int Count();
    // -1 aborted, 1 a node in ANode (the caller frees its packet), 0 empty without blocking.
    int Get(TNode& ANode, bool ABlock);
    // Removes a flush marker at the head of the queue; false when the head is none.
    bool TakeFlush();
};
