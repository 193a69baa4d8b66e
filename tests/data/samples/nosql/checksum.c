/* checksum.c - CRC-32 of a file, used by the export tool to mark its output.
 *
 * Nothing here talks to a database; the comments below only mention SQL.
 */
#include <stdint.h>
#include <stdio.h>

// The SELECT, JOIN and ORDER BY of the export view run in the export tool, which
// also records the result with an INSERT; DELETE and COMMIT are its business
// too. This program only checks the bytes of the file afterwards.
/* For the record, the caller's query:
 *   select count(*) from export_view where checked = 0;
 *   UPDATE export_runs SET crc = ? WHERE run_id = ?
 */

static uint32_t table[256];

static void make_table(void)
{
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: checksum FILE\n");
        return 2;
    }
    FILE *in = fopen(argv[1], "rb");
    if (!in) {
        perror(argv[1]);
        return 1;
    }
    make_table();
    uint32_t crc = 0xFFFFFFFFu;
    int ch;
    while ((ch = getc(in)) != EOF)
        crc = table[(crc ^ (uint32_t)ch) & 0xFF] ^ (crc >> 8);
    fclose(in);
    printf("%08x  %s\n", crc ^ 0xFFFFFFFFu, argv[1]);
    return 0;
}
