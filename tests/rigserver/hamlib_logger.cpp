// hamlib_logger: a program that uses a radio as a logger does, through libhamlib's network rig (model 2):
// it opens the radio, reads and writes frequency, mode and PTT, and closes it, printing each call's result
// so that a test can check what a real Hamlib client got.
//
//   hamlib_logger HOST:PORT ROUNDS MODE BASE_HZ
//
// Each of ROUNDS rounds writes BASE_HZ + round, reads the frequency back, writes MODE with the passband
// left as it is and reads the mode back; then PTT is keyed, read and released. One line per call:
// "<call> <Hamlib code> [values]". Exits 0 once the radio is closed, whatever the codes; 2 on bad arguments.
#include <hamlib/rig.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s HOST:PORT ROUNDS MODE BASE_HZ\n", argv[0]);
        return 2;
    }
    const int rounds = std::atoi(argv[2]);
    const rmode_t mode = rig_parse_mode(argv[3]);
    const freq_t base = std::atof(argv[4]);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    rig_set_debug(RIG_DEBUG_NONE);

    RIG *rig = rig_init(RIG_MODEL_NETRIGCTL);
    if (!rig)
        return 2;
    rig_set_conf(rig, rig_token_lookup(rig, "rig_pathname"), argv[1]);
    // Every read goes to the server: Hamlib's own cache would answer a read with what this program last
    // read or wrote, whatever the radio did meanwhile.
    rig_set_cache_timeout_ms(rig, HAMLIB_CACHE_ALL, 0);
    std::printf("open %d\n", rig_open(rig));

    for (int round = 0; round < rounds; ++round) {
        std::printf("set_freq %d\n", rig_set_freq(rig, RIG_VFO_CURR, base + round));
        freq_t freq = 0;
        const int got = rig_get_freq(rig, RIG_VFO_CURR, &freq);
        std::printf("get_freq %d %.0f\n", got, freq);
        std::printf("set_mode %d\n", rig_set_mode(rig, RIG_VFO_CURR, mode, RIG_PASSBAND_NOCHANGE));
        rmode_t readMode = RIG_MODE_NONE;
        pbwidth_t width = 0;
        const int gotMode = rig_get_mode(rig, RIG_VFO_CURR, &readMode, &width);
        std::printf("get_mode %d %s %ld\n", gotMode, rig_strrmode(readMode), static_cast<long>(width));
    }

    std::printf("set_ptt %d\n", rig_set_ptt(rig, RIG_VFO_CURR, RIG_PTT_ON));
    ptt_t ptt = RIG_PTT_OFF;
    const int gotPtt = rig_get_ptt(rig, RIG_VFO_CURR, &ptt);
    std::printf("get_ptt %d %d\n", gotPtt, static_cast<int>(ptt));
    std::printf("release_ptt %d\n", rig_set_ptt(rig, RIG_VFO_CURR, RIG_PTT_OFF));

    std::printf("close %d\n", rig_close(rig));
    rig_cleanup(rig);
    return 0;
}
