#!/usr/bin/env bash
# Builds the rigctld fuzz targets with clang's libFuzzer and runs them for a bounded time: what a rigctld peer
# replies (the rig worker and the rigctld back end as the program has them, on Qt Core), and what a program
# connected to a shared rig sends (the share's serving side).
#   scripts/fuzz.sh [seconds]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
out=build-fuzz
mkdir -p "$out/obj" "$out/corpus" "$out/client-corpus"

flags=(-std=c++20 -g -O1 -fPIC -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
  -Isrc -I"$out/obj" $(pkg-config --cflags Qt6Core hamlib))
"$(pkg-config --variable=libexecdir Qt6Core)/moc" src/rigserver/core/RigWorker.h -o "$out/obj/moc_RigWorker.cpp"
sources=(fuzz/rigctld_peer_fuzz.cpp "$out/obj/moc_RigWorker.cpp" src/omnirig/OmniRig_TLB.cpp)
for name in RigWorker RigLink RigKeyer RigReadPolicy RigWriteQueue RigState RigSettings RigServerLog; do
  sources+=("src/rigserver/core/$name.cpp")
done
for name in RigctldBackend RigctldConnection HamlibErrors HamlibBackend HamlibRig HamlibModels HamlibBackendFactory \
  CallInterrupter; do
  sources+=("src/rigserver/backends/$name.cpp")
done
for name in RigctldAddress RigctldProtocol RigModes; do
  sources+=("src/rigserver/rigctld/$name.cpp")
done
objects=()
for source in "${sources[@]}"; do
  object="$out/obj/$(basename "${source%.cpp}").o"
  objects+=("$object")
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n; done
  clang++ "${flags[@]}" -c "$source" -o "$object" &
done
while [ "$(jobs -rp | wc -l)" -gt 0 ]; do wait -n; done
clang++ -fsanitize=fuzzer,address,undefined "${objects[@]}" $(pkg-config --libs Qt6Core hamlib) \
  -o "$out/rigctld_peer_fuzz"

# The serving side of a shared rig: what a connected program sends. Standard library only.
client_objects=()
for source in fuzz/rigctld_client_fuzz.cpp src/rigserver/rigctld/RigctldCommand.cpp \
  src/rigserver/rigctld/RigctldResponder.cpp src/rigserver/rigctld/RigctldProtocol.cpp \
  src/rigserver/rigctld/RigModes.cpp; do
  object="$out/obj/client_$(basename "${source%.cpp}").o"
  client_objects+=("$object")
  clang++ "${flags[@]}" -c "$source" -o "$object"
done
clang++ -fsanitize=fuzzer,address,undefined "${client_objects[@]}" -o "$out/rigctld_client_fuzz"

# Seeds. Whole path (first byte 0x00-0x7f, replies separated by NUL): a healthy radio for two polls, with
# and without writes. Reader alone (first byte 0x80 and up, then the piece size): a reply of each kind.
caps='dump_caps:\nModel name:\tDummy\nMfg name:\tHamlib\nCan get Frequency:\tY\nCan set Frequency:\tY\nCan get Mode:\tY\nCan set Mode:\tY\nCan get PTT:\tY\n\nRPRT 0\n'
poll='\0get_freq:\nFrequency: 14074000\nRPRT 0\n\0get_mode:\nMode: USB\nPassband: 3000\nRPRT 0\n\0get_ptt:\nPTT: 0\nRPRT 0\n'
printf "\\x00$caps$poll$poll" >"$out/corpus/polls"
printf "\\x03$caps$poll\\0set_freq: 7074000\\nRPRT 0\\n\\0set_mode: PKTUSB -1\\nRPRT 0\\n$poll" >"$out/corpus/writes"
printf '\x00RPRT -11\n' >"$out/corpus/refused"
printf '\x80\x07get_freq:\nFrequency: 14074000\nRPRT 0\n' >"$out/corpus/freq"
printf '\x81\x03get_mode:\nMode: PKTUSB\nPassband: 3000\nRPRT 0\n' >"$out/corpus/mode"
printf '\x82\x40get_ptt:\nPTT: 1\nRPRT 0\n' >"$out/corpus/ptt"
printf '\x85\x10dump_caps:\nModel name:\tDummy\nMfg name:\tHamlib\nCan get PTT:\tY\n\nRPRT 0\n' >"$out/corpus/caps"
printf '\x83\x01RPRT -11\n' >"$out/corpus/error"
printf '\x04\x0f\x01\x01f\nF 14074000\n+\\get_mode\n;M USB 2400\nT 1\nV VFOB\nf\n\\dump_state\nq\n' \
  >"$out/client-corpus/session"
# Two thirds of the time for the whole path from a radio's replies, one third for a program's commands.
"$out/rigctld_peer_fuzz" -max_total_time="$((seconds * 2 / 3))" -max_len=8192 -timeout=10 -dict=fuzz/rigctld.dict \
  "$out/corpus"
"$out/rigctld_client_fuzz" -max_total_time="$((seconds - seconds * 2 / 3))" -max_len=4096 -timeout=10 \
  -dict=fuzz/rigctld.dict "$out/client-corpus"
