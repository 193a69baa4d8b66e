000100 IDENTIFICATION DIVISION.                                         ACCTUPD
000200 PROGRAM-ID. ACCTUPD.                                             ACCTUPD
000300*-----------------------------------------------------------------ACCTUPD
000400* NIGHTLY ACCOUNT UPDATE: POSTS THE DAY'S BOOKINGS TO THE         ACCTUPD
000500* ACCOUNT BALANCES AND WRITES ONE HISTORY ROW PER BOOKING.        ACCTUPD
000600*-----------------------------------------------------------------ACCTUPD
000700 ENVIRONMENT DIVISION.                                            ACCTUPD
000800 DATA DIVISION.                                                   ACCTUPD
000900 WORKING-STORAGE SECTION.                                         ACCTUPD
001000     EXEC SQL INCLUDE SQLCA END-EXEC.                             ACCTUPD
001100     EXEC SQL BEGIN DECLARE SECTION END-EXEC.                     ACCTUPD
001200 01  WS-ACCOUNT-NO          PIC X(10).                            ACCTUPD
001300 01  WS-AMOUNT              PIC S9(11)V99 COMP-3.                 ACCTUPD
001400 01  WS-BOOKING-ID          PIC S9(9) COMP.                       ACCTUPD
001500 01  WS-BALANCE             PIC S9(13)V99 COMP-3.                 ACCTUPD
001600 01  WS-TEXT                PIC X(40).                            ACCTUPD
001700     EXEC SQL END DECLARE SECTION END-EXEC.                       ACCTUPD
001800 01  WS-COUNT               PIC 9(7) VALUE ZERO.                  ACCTUPD
001900 01  WS-EOF                 PIC X VALUE 'N'.                      ACCTUPD
002000     88  END-OF-BOOKINGS    VALUE 'Y'.                            ACCTUPD
002100                                                                  ACCTUPD
002200 PROCEDURE DIVISION.                                              ACCTUPD
002300 MAIN-PARA.                                                       ACCTUPD
002400     EXEC SQL                                                     ACCTUPD
002500         DECLARE BOOKINGS CURSOR FOR                              ACCTUPD
002600         SELECT B.BOOKING_ID, B.ACCOUNT_NO, B.AMOUNT, B.TEXT      ACCTUPD
002700           FROM BOOKINGS B                                        ACCTUPD
002800          WHERE B.POSTED = 'N'                                    ACCTUPD
002900            AND B.BOOKED_ON <= CURRENT DATE                       ACCTUPD
003000          ORDER BY B.ACCOUNT_NO, B.BOOKING_ID                     ACCTUPD
003100     END-EXEC.                                                    ACCTUPD
003200     EXEC SQL OPEN BOOKINGS END-EXEC.                             ACCTUPD
003300     PERFORM POST-ONE UNTIL END-OF-BOOKINGS.                      ACCTUPD
003400     EXEC SQL CLOSE BOOKINGS END-EXEC.                            ACCTUPD
003500     EXEC SQL COMMIT WORK END-EXEC.                               ACCTUPD
003600     DISPLAY 'ACCTUPD: ' WS-COUNT ' BOOKINGS POSTED'.             ACCTUPD
003700     STOP RUN.                                                    ACCTUPD
003800                                                                  ACCTUPD
003900 POST-ONE.                                                        ACCTUPD
004000     EXEC SQL                                                     ACCTUPD
004100         FETCH BOOKINGS                                           ACCTUPD
004200          INTO :WS-BOOKING-ID, :WS-ACCOUNT-NO, :WS-AMOUNT,        ACCTUPD
004300               :WS-TEXT                                           ACCTUPD
004400     END-EXEC.                                                    ACCTUPD
004500     IF SQLCODE = 100                                             ACCTUPD
004600         SET END-OF-BOOKINGS TO TRUE                              ACCTUPD
004700     ELSE                                                         ACCTUPD
004800         EXEC SQL                                                 ACCTUPD
004900             UPDATE ACCOUNTS                                      ACCTUPD
005000                SET BALANCE = BALANCE + :WS-AMOUNT,               ACCTUPD
005100                    LAST_BOOKING = CURRENT TIMESTAMP              ACCTUPD
005200              WHERE ACCOUNT_NO = :WS-ACCOUNT-NO                   ACCTUPD
005300         END-EXEC                                                 ACCTUPD
005400         EXEC SQL                                                 ACCTUPD
005500             INSERT INTO ACCOUNT_HISTORY                          ACCTUPD
005600                    (ACCOUNT_NO, BOOKING_ID, AMOUNT, TEXT)        ACCTUPD
005700             VALUES (:WS-ACCOUNT-NO, :WS-BOOKING-ID, :WS-AMOUNT,  ACCTUPD
005800                     :WS-TEXT)                                    ACCTUPD
005900         END-EXEC                                                 ACCTUPD
006000         EXEC SQL                                                 ACCTUPD
006100             UPDATE BOOKINGS SET POSTED = 'Y'                     ACCTUPD
006200              WHERE BOOKING_ID = :WS-BOOKING-ID                   ACCTUPD
006300         END-EXEC                                                 ACCTUPD
006400         ADD 1 TO WS-COUNT                                        ACCTUPD
006500     END-IF.                                                      ACCTUPD
