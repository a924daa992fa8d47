-- Statements the module sends, with concrete values spliced in, run against the suite
-- schema loaded with the demo data. statements_test.sh splits this file into blocks:
--
--   -- @check <name> = <value>   statements whose last one yields a single value that
--                                must equal <value>
--   -- @setup <name>             run and committed (rows the later blocks work on)
--   -- @query <name>             run, result thrown away; must not fail
--   -- @write <name>             run, result thrown away; must not fail
--
-- The placeholders @MONTH_BEGIN@, @MONTH_END@, @MONTH_NEXT@ (the day after the month) and @YM@
-- are replaced with the server's current month before anything runs. Every block but the setup runs in a transaction that is rolled back,
-- so the blocks do not see each other's changes.

-- ===========================================================================
-- The schema itself
-- ===========================================================================

-- @check every table is InnoDB in utf8mb4_unicode_520_ci = 0
select count(*) from information_schema.tables
 where table_schema = database() and (engine <> 'InnoDB' or table_collation <> 'utf8mb4_unicode_520_ci');

-- @check rows made on first use are unique by what identifies them = t_balance.ux_FStorehouseID_FProductID,t_billcalflag.ux_FProductID_FPeriod,t_comproductbatchno.ux_batch,t_comproductsprice.ux_FClientID_FProductID_FUnitID
select group_concat(distinct concat(lower(table_name), '.', index_name) order by lower(table_name) separator ',')
  from information_schema.statistics where table_schema = database() and non_unique = 0
   and lower(table_name) in ('t_balance', 't_billcalflag', 't_comproductbatchno', 't_comproductsprice') and index_name <> 'PRIMARY';

-- @check a batch without number or dates is one identity, whatever its shelf life = 1|2.00000000
insert into t_comProductBatchNo(FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate,FNumber) values(9,9,null,null,30,null,1);
insert into t_comProductBatchNo(FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate,FNumber) values(9,9,'',STR_TO_DATE('','%Y-%m-%d'),60,null,1) on duplicate key update FNumber = FNumber + 1;
select concat(count(*), '|', sum(FNumber)) from t_comProductBatchNo where FStorehouseID = 9 and FProductID = 9;

-- @check only the stock, price, mark and log tables number their rows themselves = t_balance.FRowID,t_billcalflag.FRowID,t_comproductbatchno.FID,t_comproductoutbatchno.FOutID,t_comproductsprice.FRowID,t_comproductunit.FID,zzsyslog.FLogID
select group_concat(concat(table_name, '.', column_name) order by table_name separator ',')
  from information_schema.columns where table_schema = database() and extra like '%auto_increment%';

-- @check every bill header carries the closing and voucher marks = 0
select count(*) from (select 't_purorderform' as t union all select 't_purform' union all select 't_saleorderform'
  union all select 't_saleoutform' union all select 't_saleforform' union all select 't_receivepayform'
  union all select 't_feeform' union all select 't_inventoryform' union all select 't_account'
  union all select 't_returnform' union all select 't_transferform' union all select 't_otheroutinform'
  union all select 't_lossgainform' union all select 't_assemblyform' union all select 't_costadjustform'
  union all select 't_outpickingform' union all select 't_infinishform' union all select 't_protaskform') X
 where (select count(*) from information_schema.columns C
         where C.table_schema = database() and C.table_name = X.t
           and C.column_name in ('FID', 'FTypeID', 'FBillTypeID', 'FBillNo', 'FBillDate', 'FBillerID', 'FBillerDate',
                                 'FCheckerID', 'FCheckerDate', 'FIsChecked', 'FNote', 'FFormDefined1', 'FFormDefined2',
                                 'FFormDefined3', 'FIsCloseAcc', 'FIsCreateVoucher', 'FVoucherID')) <> 17;

-- @check every line table is keyed by header and line number = 0
select count(*) from (select 't_purorderlist' as t union all select 't_purlist' union all select 't_saleorderlist'
  union all select 't_saleoutlist' union all select 't_saleforlist' union all select 't_receivepaylist'
  union all select 't_feelist' union all select 't_inventorylist' union all select 't_returnlist'
  union all select 't_transferlist' union all select 't_otheroutinlist' union all select 't_lossgainlist'
  union all select 't_assemblylist' union all select 't_costadjustlist' union all select 't_outpickinglist'
  union all select 't_infinishlist' union all select 't_protasklist') X
 where not exists (select * from information_schema.statistics S
                    where S.table_schema = database() and S.table_name = X.t and S.column_name = 'FFormID'
                      and S.seq_in_index = 1
                      and exists (select * from information_schema.statistics S2
                                   where S2.table_schema = S.table_schema and S2.table_name = S.table_name
                                     and S2.index_name = S.index_name and S2.column_name = 'FSID' and S2.seq_in_index = 2));

-- ===========================================================================
-- The demo's figures agree with each other
-- ===========================================================================

-- @check current stock is the sum of the storehouse balances = 0
select count(*) from t_comProducts P
 left join (select FProductID, sum(FNumber) as FNumber from t_Balance group by FProductID) B
   on B.FProductID = P.FID
 where IfNull(P.FCurStock,0) <> IfNull(B.FNumber,0);

-- @check batch rows add up to the storehouse balance of batch products = 0
select count(*) from t_Balance B
 inner join t_comProducts P on P.FID = B.FProductID and P.FIsBatchNo = 1
 left join (select FStorehouseID, FProductID, sum(FNumber) as FNumber
              from t_comProductBatchNo group by FStorehouseID, FProductID) N
   on N.FStorehouseID = B.FStorehouseID and N.FProductID = B.FProductID
 where IfNull(B.FNumber,0) <> IfNull(N.FNumber,0);

-- @check only batch products have batch rows = 0
select count(*) from t_comProductBatchNo N
 inner join t_comProducts P on P.FID = N.FProductID
 where IfNull(P.FIsBatchNo,0) <> 1;

-- @check sales order production counters match the checked tasks = 0
select count(*) from t_SaleOrderList L
 left join (select FFromListID, sum(FNumber) as FNumber from t_ProTaskForm
             where FIsChecked = 1 and IfNull(FFromListID,0) <> 0 group by FFromListID) T
   on T.FFromListID = L.FID
 where IfNull(L.FProtaskFinishNumber,0) <> IfNull(T.FNumber,0);

-- @check no sales order line is planned beyond its quantity = 0
select count(*) from t_SaleOrderList where IfNull(FProtaskFinishNumber,0) > IfNull(FNumber,0);

-- @check tasks name the sales order and line they came from = 0
select count(*) from t_ProTaskForm T
 left join t_SaleOrderList L on L.FID = T.FFromListID
 left join t_SaleOrderForm F on F.FID = L.FFormID
 where IfNull(T.FFromListID,0) <> 0
   and (F.FID is null or F.FID <> T.FFromBillID or F.FBillNo <> T.FFromBillNo
        or F.FTypeID <> T.FFromBillTypeID or L.FProductID <> T.FProductID
        or F.FClientID <> T.FClientID or F.FIsChecked <> 1);

-- @check material lines are the per-unit consumption times the task quantity = 0
select count(*) from t_ProTaskList L inner join t_ProTaskForm F on F.FID = L.FFormID
 where L.FNumber <> Round(L.FSingleNumber * F.FNumber, 2)
    or L.FAmount <> Round(L.FNumber * L.FPrice, 2)
    or F.FAmount <> Round(F.FNumber * F.FPrice, 2);

-- @check sales order totals are the sum of their lines = 0
select count(*) from t_SaleOrderForm F
 left join (select FFormID, sum(FAmount) as FAmount from t_SaleOrderList group by FFormID) L
   on L.FFormID = F.FID
 where IfNull(F.FAmount,0) <> IfNull(L.FAmount,0)
    or exists (select * from t_SaleOrderList X where X.FFormID = F.FID
                and X.FAmount <> Round(X.FNumber * X.FPrice, 2));

-- @check numbering counters hold the last sequence used this month = 0
select count(*) from T_BillCode C inner join T_BillType T on T.FID = C.FBillTypeID
 where C.FYearMonth = '@YM@' and C.FPreCode = T.FPreCode
   and C.FCurNo <> (select max(cast(substring(X.FBillNo, char_length(T.FPreCode) + 7) as unsigned))
                      from (select FBillNo, FTypeID from t_SaleOrderForm
                            union all select FBillNo, FTypeID from t_ProTaskForm) X
                     where X.FTypeID = T.FID and X.FBillNo like concat(T.FPreCode, '@YM@', '%'));

-- @check bills are numbered prefix + the year-month of their date + five digits = 0
select count(*) from (select FBillNo, FTypeID, FBillDate from t_SaleOrderForm
                      union all select FBillNo, FTypeID, FBillDate from t_ProTaskForm) X
 left join T_BillType T on T.FID = X.FTypeID
 where T.FID is null or X.FBillNo not regexp concat('^', T.FPreCode, date_format(X.FBillDate, '%Y%m'), '[0-9]{5}$');

-- @check no bill number is used twice = 0
select count(*) from (select FBillNo from (select FBillNo from t_SaleOrderForm
                                           union all select FBillNo from t_ProTaskForm) X
                       group by FBillNo having count(*) > 1) D;

-- @check every month with bills has its counter, at or past the month's highest sequence = 0
select count(*) from (select FBillNo, FTypeID from t_SaleOrderForm
                      union all select FBillNo, FTypeID from t_ProTaskForm) X
 inner join T_BillType T on T.FID = X.FTypeID
 left join T_BillCode C on C.FBillTypeID = T.FID and C.FPreCode = T.FPreCode
       and C.FYearMonth = substring(X.FBillNo, char_length(T.FPreCode) + 1, 6)
 where C.FCurNo is null or C.FCurNo < cast(substring(X.FBillNo, char_length(T.FPreCode) + 7) as unsigned);

-- @check no bill lies in the closed period = 0
select count(*) from (select FBillDate from t_SaleOrderForm union all select FBillDate from t_ProTaskForm) X
 where X.FBillDate <= (select FDatetimeValue from t_comparameters where FName = 'FAccCloseDate');

-- @check tasks by months back, all and checked: a dozen over the last three months = 0:5:3,1:3:2,2:4:4
select group_concat(concat(M, ':', N, ':', C) order by M separator ',')
  from (select period_diff('@YM@', date_format(FBillDate, '%Y%m')) as M, count(*) as N, sum(FIsChecked = 1) as C
          from t_ProTaskForm group by M) X;

-- @check batch-managed materials name a stock lot, made before the task and good on its date; others no lot = 0
select count(*) from t_ProTaskList L inner join t_ProTaskForm F on F.FID = L.FFormID
 inner join t_comProducts P on P.FID = L.FProductID
 where (IfNull(P.FIsBatchNo,0) = 1
        and not exists (select * from t_comProductBatchNo N
                         where N.FProductID = L.FProductID and N.FBatchNo1 = L.FBatchNo1 and N.FKFDate = L.FKFDate
                           and N.FKFPeriod = L.FKFPeriod and N.FPeriodDate = L.FPeriodDate
                           and N.FKFDate <= F.FBillDate and N.FPeriodDate >= F.FBillDate))
    or (IfNull(P.FIsBatchNo,0) <> 1 and (IfNull(L.FBatchNo1,'') <> '' or L.FKFDate is not null));

-- @check a checked order of this month has a line open for production: 100 ordered, 30 planned = 1
select count(*) from t_SaleOrderList L inner join t_SaleOrderForm F on F.FID = L.FFormID
 where F.FIsChecked = 1 and F.FBillDate >= '@MONTH_BEGIN@' and L.FNumber = 100 and L.FProtaskFinishNumber = 30;

-- @check a new chair task proposes the materials of the chair task numbered last = RWD@YM@00004|8
select concat(F.FBillNo, '|', (select count(*) from t_ProTaskList L where L.FFormID = F.FID))
  from t_ProTaskForm F where F.FProductID = 1 order by F.FBillNo desc limit 1;

-- @check bills carry their biller; checked ones their checker, no earlier than the biller; unchecked ones none = 0
select count(*) from (select FIsChecked, FBillerID, FBillerDate, FCheckerID, FCheckerDate from t_SaleOrderForm
                      union all select FIsChecked, FBillerID, FBillerDate, FCheckerID, FCheckerDate from t_ProTaskForm) X
 where X.FBillerID is null or X.FBillerDate is null
    or (X.FIsChecked = 1 and (X.FCheckerID is null or X.FCheckerDate is null or X.FCheckerDate < X.FBillerDate))
    or (IfNull(X.FIsChecked,0) = 0 and X.FCheckerID is not null);

-- @check every product has its base unit as line 1 with ratio 1 = 0
select count(*) from t_comProducts P
 left join t_comProductUnit U on U.FProductID = P.FID and U.FSID = 1
 where U.FProductID is null or U.FUnitID <> P.FStdUnitID or U.FRatio <> 1;

-- @check product and unit references resolve = 0
select count(*) from (
  select FProductID, FUnitID from t_SaleOrderList
  union all select FProductID, FUnitID from t_ProTaskList
  union all select FProductID, FUnitID from t_ProTaskForm
  union all select FProductID, FUnitID from t_comProductUnit
  union all select FProductID, FUnitID from t_comProductsPrice
  union all select FID, FStdUnitID from t_comProducts
  union all select FProductID, null from t_Balance
  union all select FProductID, null from t_comProductBatchNo) X
 left join t_comProducts P on P.FID = X.FProductID
 left join t_comUnit U on U.FID = X.FUnitID
 where P.FID is null or (X.FUnitID is not null and U.FID is null);

-- @check client, employee, department, user, storehouse and item references resolve = 0
select (select count(*) from t_SaleOrderForm F where not exists (select * from t_comClient C where C.FID = F.FClientID and C.FType = 1)
           or not exists (select * from t_comEmployee E where E.FID = F.FSaleEmpID)
           or not exists (select * from t_comItem I where I.FID = F.FSettlementID)
           or not exists (select * from t_comUser U where U.FID = F.FBillerID))
     + (select count(*) from t_ProTaskForm F where not exists (select * from t_comClient C where C.FID = F.FClientID and C.FType = 1)
           or not exists (select * from t_comEmployee E where E.FID = F.FManagerID)
           or not exists (select * from t_comdepartment D where D.FID = F.FDeptID)
           or not exists (select * from t_comUser U where U.FID = F.FBillerID)
           or not exists (select * from T_BillType T where T.FID = F.FTypeID and T.FBillTypeID = 3049))
     + (select count(*) from t_SaleOrderList L where not exists (select * from t_SaleOrderForm F where F.FID = L.FFormID))
     + (select count(*) from t_ProTaskList L where not exists (select * from t_ProTaskForm F where F.FID = L.FFormID))
     + (select count(*) from t_Balance B where not exists (select * from t_comStorehouse S where S.FID = B.FStorehouseID))
     + (select count(*) from t_comProductBatchNo B where not exists (select * from t_comStorehouse S where S.FID = B.FStorehouseID))
     + (select count(*) from t_comEmployee E where not exists (select * from t_comdepartment D where D.FID = E.FDeptID))
     + (select count(*) from t_comUserRight R where not exists (select * from t_comRight X where X.FID = R.FRightID)
           or not exists (select * from t_comUser U where U.FID = R.FUserID));

-- @check line numbers run from 1 without gaps = 0
select count(*) from (
  select FFormID, count(*) as N, min(FSID) as A, max(FSID) as B from t_SaleOrderList group by FFormID
  union all
  select FFormID, count(*), min(FSID), max(FSID) from t_ProTaskList group by FFormID) X
 where X.A <> 1 or X.B <> X.N;

-- @check client balances: unpaid is total less paid = 0
select count(*) from t_comClient
 where IfNull(FUnPayAmount,0) <> IfNull(FTotalAmount,0) - IfNull(FPayAmount,0);

-- @check exactly one system client, of type client = 1
select count(*) from t_comClient where FIsSystem = 1 and FType = 1;

-- @check the restricted user holds no check, uncheck or delete right = 0
select count(*) from t_comUserRight R inner join t_comUser U on U.FID = R.FUserID
 inner join t_comRight X on X.FID = R.FRightID
 where U.FRightType = 1
   and (X.Fvalue like '%.Check' or X.Fvalue like '%.UnCheck' or X.Fvalue like '%.Del');

-- @check the host parameters are all present with their kinds = 13
select count(*) from t_comparameters
 where (FName, FTypeID) in (('FIsCheckBill',2),('FIsSaveCheck',2),('FIsUseRight',1),('FIsTax',2),
       ('FTaxRate',4),('FBluePriceMarkOff',2),('FSalePriceVariationHint',2),('FForbidNegativeStock',2),
       ('FAskNegativeStock',2),('FForbidNegativeBatchStock',2),('FWarnNegativeBatchStock',2),
       ('FWidthHeightLength',1),('FAccCloseDate',5));

-- @check the closing date lies before this month's bills = 1
select count(*) from t_comparameters where FName = 'FAccCloseDate' and FDatetimeValue < '@MONTH_BEGIN@';

-- @check the production task bill type row = RWD|RWD|生产任务单|1
select concat(FBillTypeNo, '|', FPreCode, '|', FBillName, '|', FPrintStyle) from T_BillType where FBillTypeID = 3049;

-- @check the payment bill type that rebates number with = 1
select count(*) from T_BillType where FBillTypeNo = 'FKD';

-- @check caption defaults of the production task are complete = 22
select count(*) from t_comFieldName where FBillTypeID = 3049;

-- @check the default voucher template of the production task balances its sides = 1
select count(*) from T_VoucherModelForm F
 where F.FBillTypeID = 3049 and F.FIsDefault = 1
   and (select count(*) from T_VoucherModelList L where L.FFormID = F.FID and L.FCR = '借') > 0
   and (select count(*) from T_VoucherModelList L where L.FFormID = F.FID and L.FCR = '贷') > 0;

-- ===========================================================================
-- Bills the posting statements below work on (the demo has no stock bills)
-- ===========================================================================

-- @setup purchase order, purchase receipt, sales out and rebate bills
insert into t_PurOrderForm (FID, FTypeID, FBillTypeID, FBillNo, FBillDate, FClientID, FAmount, FPayAmount, FCashID, FIsChecked)
values (1, 1, 1, 'CGDD@YM@00001', '@MONTH_BEGIN@', 10, 1280, 0, 2, 1);
insert into t_PurOrderList (FID, FFormID, FSID, FProductID, FUnitID, FNumber, FPrice, FAmount, FFromOrderListID)
values (1, 1, 1, 37, 9, 2, 640, 1280, 0);
insert into t_PurForm (FID, FTypeID, FBillTypeID, FBillNo, FBillDate, FClientID, FStorehouseID, FAmount, FPayAmount, FCashID, FIsChecked)
values (1, 2, 1, 'JHD@YM@00001', concat('@MONTH_BEGIN@', ' 10:20:00'), 10, 2, 1400, 1000, 2, 0);
insert into t_PurList (FID, FFormID, FSID, FProductID, FUnitID, FNumber, FPrice, FAmount, FDiscountRate, FDiscountPrice,
  FDiscountAmount, FTobeDiscountPrice, FTobeDiscountAmount, FIsPresent, FBatchNo1, FKFDate, FKFPeriod, FPeriodDate, FFromOrderListID)
values (1, 1, 1, 37, 9, 2, 640, 1280, 100, 640, 1280, 640, 1280, 0, 'LOT-A', '@MONTH_BEGIN@', 365, date_add('@MONTH_BEGIN@', interval 365 day), 1),
       (2, 1, 2, 17, 12, 3, 40, 120, 100, 40, 120, 40, 120, 0, null, null, null, null, 0),
       (3, 1, 3, 17, 1, 100, 0, 0, 100, 0, 0, 0, 0, 1, null, null, null, null, 0);
insert into t_SaleOutForm (FID, FTypeID, FBillTypeID, FBillNo, FBillDate, FClientID, FStorehouseID, FAmount, FReceiveAmount, FCashID, FIsChecked)
values (1, 4, 1, 'CHD@YM@00001', concat('@MONTH_BEGIN@', ' 14:00:00'), 2, 2, 5310, 3000, 2, 0);
insert into t_SaleOutList (FID, FFormID, FSID, FProductID, FUnitID, FNumber, FPrice, FAmount, FDiscountRate, FDiscountPrice,
  FDiscountAmount, FTobeDiscountPrice, FTobeDiscountAmount, FIsPresent, FBatchNo1, FKFDate, FKFPeriod, FPeriodDate, FFromOrderListID)
values (1, 1, 1, 1, 11, 20, 255, 5100, 100, 255, 5100, 255, 5100, 0, null, null, null, null, 1),
       (2, 1, 2, 37, 4, 5, 42, 210, 100, 42, 210, 42, 210, 0, null, null, null, null, 0);
insert into t_ReturnForm (FID, FTypeID, FBillTypeID, FBillNo, FBillDate, FClientID, FBeginDate, FEndDate, FAmount, FReceiveFormID, FIsChecked)
values (1, 17, 1, 'FLD@YM@00001', '@MONTH_END@', 10, '@MONTH_BEGIN@', '@MONTH_END@', 100, 0, 0);
insert into t_ReturnList (FID, FFormID, FSID, FProductID, FUnitID, FIsSelected) values (1, 1, 1, 37, 4, 1);

-- ===========================================================================
-- Shared services: parameters, company, numbering, rights, log, records made on the fly
-- ===========================================================================

-- @query read a parameter
select * from t_comparameters where FName = 'FAccCloseDate';

-- @query company decimals and print header
select FNumberDecimal,FPriceDecimal from t_comCompany ;
select * from t_comCompany ;

-- @query closing and voucher columns asked for by name
desc t_ProTaskForm FisCloseAcc;
desc t_ProTaskForm FIsCreateVoucher;

-- @query closing and voucher tests of a task
select IfNull(FIscloseAcc,0) as FIsCloseAcc from t_ProTaskForm where IfNull(FIscloseAcc,0) = 1 and FID = 1;
select IfNull(FIsCreateVoucher,0) as FIsCreateVoucher from t_ProTaskForm where IfNull(FIsCreateVoucher,0) = 1 and FID = 1;

-- @write operation log
insert into zzsyslog(FDateTime,FUserId,FHostName,FIpAddr,FMsgCont,FWindow)  values(now(),1,'SCB-PC01','192.168.1.21','保存操作 - 单据号:RWD@YM@00001','生产任务单');

-- @query next key outside and inside a save, and other-in/out kind
select Max(FID) as FID from t_ProTaskList;
select FID as FID from t_ProTaskList order by FID desc limit 1 for update;
select * from t_OtherOutInForm where FID = 1;

-- @write create a client, department and employee on the fly
 select FID , FName from t_comClient where FName= '顺丰家具店' and FType = 1;
insert into t_comClient(FID,FNo,FName,FCode,Ftype)  values(14,'','顺丰家具店','SFJJD',1);
insert into t_comdepartment(FID,FNo,FName,FCode)  values(7,'','质检部','ZJB');
insert into t_comEmployee(FID,FNo,FName,FCode)  values(9,'','吴刚','WG');

-- @write create a product and its unit on the fly
 select T1.FID, T1.FName, IfNull(T2.FUnitID,0) as FUnitID, IfNull(T3.FName,'') as FUnitName  from t_comProducts T1 left join t_comProductUnit T2 on T1.FID = T2.FProductId and T2.FSID = 1  left join t_comUnit T3 on T2.FUnitID = T3.FID  where T1.FName = '油漆';
select IfNull(T1.FUnitID,0) as FUnitID from t_comProductUnit T1  inner join t_comUnit T2 on T1.FUnitID = T2.FID  where T2.FName = '桶' and T1.FProductId = 37;
insert into t_comUnit(FID,FNo,FName,FCode)  values(18,'','副','F');
insert into t_comProducts(FID,FgroupID,FNo,FName,FStdUnitID,FCode)  values(46,2,'','门铰','18','MJ');
insert into t_comProductUnit(FSID,FProductID,FUnitID,FRatio) value(1,46,18,1) ;

-- @query two units of one product
 SELECT COUNT(T1.FID) AS iCount FROM t_comProductUnit T1 LEFT JOIN t_comUnit T2 ON T1.FUnitID = T2.FID inner join t_comProducts T3 on T1.FProductID = T3.FID  WHERE T2.FName IN('个','盒') AND T3.Fname = '螺丝钉';

-- @query server date and number proposal
select DATE_FORMAT(now(),'%Y-%m-%d') as BillDate,DATE_FORMAT(now(),'%Y%m') as YearMonth ;
select * from T_BillType where FBillTypeNo = 'RWD';
select * from T_BillCode where FBillTypeID = 49 and FYearMonth = '@YM@';
select FBillNo from t_ProTaskForm where FBillNo = 'RWD@YM@00006';

-- @check the month's counter has its unique key = 1
select count(*) from (select INDEX_NAME from information_schema.STATISTICS where TABLE_SCHEMA = database() and lower(TABLE_NAME) = 't_billcode' and NON_UNIQUE = 0 group by INDEX_NAME having count(*) = 2 and sum(lower(COLUMN_NAME) in ('fbilltypeid','fyearmonth')) = 2) K;

-- @check take a number: first of a month, then the next = 2
insert into T_BillCode(FBillTypeID,FPreCode, FYearMonth,FCurNo)  values(49,'RWD','209912',LAST_INSERT_ID(1)) on duplicate key update FCurNo = LAST_INSERT_ID(IfNull(FCurNo,0) + 1);
insert into T_BillCode(FBillTypeID,FPreCode, FYearMonth,FCurNo)  values(49,'RWD','209912',LAST_INSERT_ID(1)) on duplicate key update FCurNo = LAST_INSERT_ID(IfNull(FCurNo,0) + 1);
select LAST_INSERT_ID() as FCurNo;

-- @write take a number where the counter has no unique key
select FID from T_BillType where FBillTypeNo = 'RWD' for update;
select count(*) as FRows, max(IfNull(FCurNo,0)) as FCurNo from T_BillCode where FBillTypeID = 49 and FYearMonth = '209911' for update;
insert into T_BillCode(FBillTypeID,FPreCode, FYearMonth,FCurNo)  values(49,'RWD','209911',1);
update T_BillCode set FCurNo = 2 where FBillTypeID = 49 and FYearMonth = '209911';

-- @query rights of a user
select * from t_comUser where FID = 2;
select * from t_comUserRight T1 left join t_comRight T2 on T1.FRightID = T2.FID  where T1.FUserID = 2 and T2.Fvalue = 'Bill.Protask.Add';

-- @check the restricted user may add tasks but not check them = 1|0
select concat((select count(*) from t_comUserRight T1 left join t_comRight T2 on T1.FRightID = T2.FID  where T1.FUserID = 2 and T2.Fvalue = 'Bill.Protask.Add'),
  '|', (select count(*) from t_comUserRight T1 left join t_comRight T2 on T1.FRightID = T2.FID  where T1.FUserID = 2 and T2.Fvalue = 'Bill.Protask.Check'));

-- @write the host reads its switches and saves one
select FName, FTypeID, FIntValue, FBoolValue, FCharValue, FFloatValue, FDatetimeValue from t_comparameters;
select FName from t_comparameters where FName = 'FSalePriceVariationHint';
update t_comparameters set FTypeID = 2, FBoolValue = 1 where FName = 'FSalePriceVariationHint';

-- ===========================================================================
-- Production task editor
-- ===========================================================================

-- @query task header load
select  distinct T1.FID,T1.FTypeID,T1.FBillDate,T1.FProDate,T1.FBillno,T1.FBatchNo,T1.FClientID, T1.FManagerID,T1.FDeptID,T1.FFinishNumber, T1.FBillerID,T1.FCheckerID,T1.FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FFormDefined1,T1.FFormDefined2,T1.FFormDefined3,T1.FNote,T1.Fnumber,T1.Fprice,T1.Famount ,T2.FNo as FClientNo, T2.FName as FClientName, T2.FCode as TFClientCode, T3.FNo as FManagerNo, T3.FName as FManager, T3.FCode as FManagerCode, T4.FNo as FDeptNo, T4.FName as FDeptName, T4.FCode as FDeptCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode,T7.FName as FCheckName , null as FCashName,null as FFormDefined1,null as FFormDefined2,null as FFormDefined3 ,FFromBillTypeID,FFromBillID,FFromBillNo,FFromListID,T8.FName as FProductName,T9.FName as FUnitName from t_ProTaskForm T1  left join t_comClient T2 on t1.FClientID = T2.FID  left join t_comEmployee T3 on T1.FManagerID = T3.FID  left join t_comdepartment T4 on T1.FDeptID = T4.FID  left join t_comUser T6 on T1.FBillerID = T6.FID   left join t_comUser T7 on T1.FCheckerID = T7.FID   left join t_comProducts T8 on t1.FProductID = T8.FID   left join t_comUnit T9 on T1.FUnitID = T9.FID  where T1.FID = 1;

-- @query task lines load
select T1.FSID,T1.FFormID,T1.FProductID,T1.FUnitID,T1.FBatchNo1,T1.FKFDate,T1.FKFPeriod,T1.FPeriodDate, T1.FListDefined1,T1.FListDefined2,T1.FListDefined3,T1.FNumber,T1.FSingleNumber,T1.FPrice,T1.FAmount,T1.FFinishNumber,T1.FNote,T2.FNO as FProductNo,T2.FName as FProductName,T2.FProductDefined1,T2.FProductDefined2,T2.FProductDefined3,T4.FName as FStdUnitName,T3.FName as FUnitName from t_ProTasklist T1 inner join t_comProducts T2 on T1.FproductID = T2.FID  left join t_comUnit T3 on T1.FUnitID = T3.FID   left join t_comUnit T4 on T2.FStdUnitID = T4.FID  where FFormID = 2 order by FSID;

-- @check a checked task loads with its names = 办公椅|把|东方家私广场|张伟|生产部|系统管理员|8
select concat(T8.FName, '|', T9.FName, '|', T2.FName, '|', T3.FName, '|', T4.FName, '|', T7.FName, '|',
  (select count(*) from t_ProTaskList where FFormID = T1.FID))
  from t_ProTaskForm T1  left join t_comClient T2 on t1.FClientID = T2.FID  left join t_comEmployee T3 on T1.FManagerID = T3.FID  left join t_comdepartment T4 on T1.FDeptID = T4.FID  left join t_comUser T7 on T1.FCheckerID = T7.FID   left join t_comProducts T8 on t1.FProductID = T8.FID   left join t_comUnit T9 on T1.FUnitID = T9.FID  where T1.FID = 1;

-- ===========================================================================
-- Production task list
-- ===========================================================================

-- @check the list reads a month of tasks and a task's lines by a key = 2
select count(*) from information_schema.statistics where table_schema = database() and seq_in_index = 1
   and ((lower(table_name) = 't_protaskform' and column_name = 'FBillDate')
     or (lower(table_name) = 't_protasklist' and column_name = 'FFormID'));

-- @query the month's tasks, distinct over the lines and without them
select  distinct T1.FID,T1.FTypeID,T1.FBillTypeID,T1.FBillDate,T1.FBillNo,T1.FProductID, FManagerID,T1.FDeptID,T1.FUnitID, T1.FBillerID,T1.FCheckerID,IfNull(T1.FIsChecked,0) as FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FNote,T1.FNumber,T1.FFormDefined1,T1.FFormDefined2,T1.FFormDefined3,T2.FNo as FProductNo, T2.FName as FProductName, T2.FCode as TFProductCode, T3.FNo as FManagerNo, T3.FName as FManagerName, T3.FCode as FManagerCode, T4.FNo as FUnitNo, T4.FName as FUnitName, T4.FCode as FUnitCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode,T7.FName as FCheckName ,T8.FNo as FDeptNo, T8.FName as FDeptName, T8.FCode as FDeptCode  from  t_ProTaskform  T1 left join t_comProducts T2 on t1.FProductID = T2.FID left join t_comEmployee T3 on T1.FManagerID = T3.FID left join t_comUnit T4 on T1.FUnitID = T4.FID left join t_comUser T6 on T1.FBillerID = T6.FID left join t_comUser T7 on T1.FCheckerID = T7.FID  left join t_comdepartment T8 on T1.FDeptID = T8.FID left join  t_ProTasklist   T11 on T1.FID = T11.FFormID left join t_comProducts T12 on T11.FProductID = T12.FID  where T1.FID >0  and T1.FBillDate >= '@MONTH_BEGIN@'and T1.FBillDate <'@MONTH_NEXT@' order by T1.FBillDate,T1.FBillNo;
select  T1.FID,T1.FTypeID,T1.FBillTypeID,T1.FBillDate,T1.FBillNo,T1.FProductID, FManagerID,T1.FDeptID,T1.FUnitID, T1.FBillerID,T1.FCheckerID,IfNull(T1.FIsChecked,0) as FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FNote,T1.FNumber,T1.FFormDefined1,T1.FFormDefined2,T1.FFormDefined3,T2.FNo as FProductNo, T2.FName as FProductName, T2.FCode as TFProductCode, T3.FNo as FManagerNo, T3.FName as FManagerName, T3.FCode as FManagerCode, T4.FNo as FUnitNo, T4.FName as FUnitName, T4.FCode as FUnitCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode,T7.FName as FCheckName ,T8.FNo as FDeptNo, T8.FName as FDeptName, T8.FCode as FDeptCode  from  t_ProTaskform  T1 left join t_comProducts T2 on t1.FProductID = T2.FID left join t_comEmployee T3 on T1.FManagerID = T3.FID left join t_comUnit T4 on T1.FUnitID = T4.FID left join t_comUser T6 on T1.FBillerID = T6.FID left join t_comUser T7 on T1.FCheckerID = T7.FID  left join t_comdepartment T8 on T1.FDeptID = T8.FID  where T1.FID >0  and T1.FBillDate >= '@MONTH_BEGIN@'and T1.FBillDate <'@MONTH_NEXT@' order by T1.FBillDate,T1.FBillNo;

-- @check both statements list the demo's five tasks of the month = 5|5
select concat((select count(*) from (select  distinct T1.FID,T1.FTypeID,T1.FBillTypeID,T1.FBillDate,T1.FBillNo,T1.FProductID, FManagerID,T1.FDeptID,T1.FUnitID, T1.FBillerID,T1.FCheckerID,IfNull(T1.FIsChecked,0) as FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FNote,T1.FNumber,T1.FFormDefined1,T1.FFormDefined2,T1.FFormDefined3,T2.FNo as FProductNo, T2.FName as FProductName, T2.FCode as TFProductCode, T3.FNo as FManagerNo, T3.FName as FManagerName, T3.FCode as FManagerCode, T4.FNo as FUnitNo, T4.FName as FUnitName, T4.FCode as FUnitCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode,T7.FName as FCheckName ,T8.FNo as FDeptNo, T8.FName as FDeptName, T8.FCode as FDeptCode  from  t_ProTaskform  T1 left join t_comProducts T2 on t1.FProductID = T2.FID left join t_comEmployee T3 on T1.FManagerID = T3.FID left join t_comUnit T4 on T1.FUnitID = T4.FID left join t_comUser T6 on T1.FBillerID = T6.FID left join t_comUser T7 on T1.FCheckerID = T7.FID  left join t_comdepartment T8 on T1.FDeptID = T8.FID left join  t_ProTasklist   T11 on T1.FID = T11.FFormID left join t_comProducts T12 on T11.FProductID = T12.FID  where T1.FID >0  and T1.FBillDate >= '@MONTH_BEGIN@'and T1.FBillDate <'@MONTH_NEXT@' order by T1.FBillDate,T1.FBillNo) A), '|', (select count(*) from (select  T1.FID,T1.FTypeID,T1.FBillTypeID,T1.FBillDate,T1.FBillNo,T1.FProductID, FManagerID,T1.FDeptID,T1.FUnitID, T1.FBillerID,T1.FCheckerID,IfNull(T1.FIsChecked,0) as FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FNote,T1.FNumber,T1.FFormDefined1,T1.FFormDefined2,T1.FFormDefined3,T2.FNo as FProductNo, T2.FName as FProductName, T2.FCode as TFProductCode, T3.FNo as FManagerNo, T3.FName as FManagerName, T3.FCode as FManagerCode, T4.FNo as FUnitNo, T4.FName as FUnitName, T4.FCode as FUnitCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode,T7.FName as FCheckName ,T8.FNo as FDeptNo, T8.FName as FDeptName, T8.FCode as FDeptCode  from  t_ProTaskform  T1 left join t_comProducts T2 on t1.FProductID = T2.FID left join t_comEmployee T3 on T1.FManagerID = T3.FID left join t_comUnit T4 on T1.FUnitID = T4.FID left join t_comUser T6 on T1.FBillerID = T6.FID left join t_comUser T7 on T1.FCheckerID = T7.FID  left join t_comdepartment T8 on T1.FDeptID = T8.FID  where T1.FID >0  and T1.FBillDate >= '@MONTH_BEGIN@'and T1.FBillDate <'@MONTH_NEXT@' order by T1.FBillDate,T1.FBillNo) B));

-- @check a find on the product's name lists the two chair tasks of the month once in both statements = 2|2
select concat((select count(*) from (select  distinct T1.FID,T1.FTypeID,T1.FBillTypeID,T1.FBillDate,T1.FBillNo,T1.FProductID, FManagerID,T1.FDeptID,T1.FUnitID, T1.FBillerID,T1.FCheckerID,IfNull(T1.FIsChecked,0) as FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FNote,T1.FNumber,T1.FFormDefined1,T1.FFormDefined2,T1.FFormDefined3,T2.FNo as FProductNo, T2.FName as FProductName, T2.FCode as TFProductCode, T3.FNo as FManagerNo, T3.FName as FManagerName, T3.FCode as FManagerCode, T4.FNo as FUnitNo, T4.FName as FUnitName, T4.FCode as FUnitCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode,T7.FName as FCheckName ,T8.FNo as FDeptNo, T8.FName as FDeptName, T8.FCode as FDeptCode  from  t_ProTaskform  T1 left join t_comProducts T2 on t1.FProductID = T2.FID left join t_comEmployee T3 on T1.FManagerID = T3.FID left join t_comUnit T4 on T1.FUnitID = T4.FID left join t_comUser T6 on T1.FBillerID = T6.FID left join t_comUser T7 on T1.FCheckerID = T7.FID  left join t_comdepartment T8 on T1.FDeptID = T8.FID left join  t_ProTasklist   T11 on T1.FID = T11.FFormID left join t_comProducts T12 on T11.FProductID = T12.FID  where T1.FID >0  and T1.FBillDate >= '@MONTH_BEGIN@'and T1.FBillDate <'@MONTH_NEXT@' and(T1.FBillNo like '%办公椅%' or T1.FNote like '%办公椅%' or T1.FFormDefined1 like '%办公椅%' or T1.FFormDefined2 like '%办公椅%' or T1.FFormDefined3 like '%办公椅%' or T11.FListDefined1 like '%办公椅%' or T11.FListDefined2 like '%办公椅%' or T11.FListDefined3 like '%办公椅%' or T12.FProductDefined1 like '%办公椅%' or T12.FProductDefined2 like '%办公椅%' or T12.FProductDefined3 like '%办公椅%' or T2.FNo like '%办公椅%' or T2.FName like '%办公椅%' or T2.FCode like '%办公椅%' or T3.FNo like '%办公椅%' or T3.FName like '%办公椅%' or T3.FCode like '%办公椅%' or T8.FNo like '%办公椅%' or T8.FName like '%办公椅%' or T8.FCode like '%办公椅%' or T12.FNo like '%办公椅%' or T12.FName like '%办公椅%' or T12.FCode like '%办公椅%') order by T1.FBillDate,T1.FBillNo) A), '|', (select count(*) from (select  T1.FID,T1.FTypeID,T1.FBillTypeID,T1.FBillDate,T1.FBillNo,T1.FProductID, FManagerID,T1.FDeptID,T1.FUnitID, T1.FBillerID,T1.FCheckerID,IfNull(T1.FIsChecked,0) as FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FNote,T1.FNumber,T1.FFormDefined1,T1.FFormDefined2,T1.FFormDefined3,T2.FNo as FProductNo, T2.FName as FProductName, T2.FCode as TFProductCode, T3.FNo as FManagerNo, T3.FName as FManagerName, T3.FCode as FManagerCode, T4.FNo as FUnitNo, T4.FName as FUnitName, T4.FCode as FUnitCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode,T7.FName as FCheckName ,T8.FNo as FDeptNo, T8.FName as FDeptName, T8.FCode as FDeptCode  from  t_ProTaskform  T1 left join t_comProducts T2 on t1.FProductID = T2.FID left join t_comEmployee T3 on T1.FManagerID = T3.FID left join t_comUnit T4 on T1.FUnitID = T4.FID left join t_comUser T6 on T1.FBillerID = T6.FID left join t_comUser T7 on T1.FCheckerID = T7.FID  left join t_comdepartment T8 on T1.FDeptID = T8.FID  where T1.FID >0  and T1.FBillDate >= '@MONTH_BEGIN@'and T1.FBillDate <'@MONTH_NEXT@' and(T1.FBillNo like '%办公椅%' or T1.FNote like '%办公椅%' or T1.FFormDefined1 like '%办公椅%' or T1.FFormDefined2 like '%办公椅%' or T1.FFormDefined3 like '%办公椅%' or T1.FProductID in (select T2.FID from t_comProducts T2 where T2.FNo like '%办公椅%' or T2.FName like '%办公椅%' or T2.FCode like '%办公椅%') or T1.FManagerID in (select T3.FID from t_comEmployee T3 where T3.FNo like '%办公椅%' or T3.FName like '%办公椅%' or T3.FCode like '%办公椅%') or T1.FDeptID in (select T8.FID from t_comdepartment T8 where T8.FNo like '%办公椅%' or T8.FName like '%办公椅%' or T8.FCode like '%办公椅%') or T1.FID in (select T11.FFormID from t_ProTasklist T11 where T11.FListDefined1 like '%办公椅%' or T11.FListDefined2 like '%办公椅%' or T11.FListDefined3 like '%办公椅%' or T11.FProductID in (select T12.FID from t_comProducts T12 where T12.FProductDefined1 like '%办公椅%' or T12.FProductDefined2 like '%办公椅%' or T12.FProductDefined3 like '%办公椅%' or T12.FNo like '%办公椅%' or T12.FName like '%办公椅%' or T12.FCode like '%办公椅%'))) order by T1.FBillDate,T1.FBillNo) B));

-- @query a find for a typed underscore, unchecked tasks only
select  T1.FID,T1.FTypeID,T1.FBillTypeID,T1.FBillDate,T1.FBillNo,T1.FProductID, FManagerID,T1.FDeptID,T1.FUnitID, T1.FBillerID,T1.FCheckerID,IfNull(T1.FIsChecked,0) as FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FNote,T1.FNumber,T1.FFormDefined1,T1.FFormDefined2,T1.FFormDefined3,T2.FNo as FProductNo, T2.FName as FProductName, T2.FCode as TFProductCode, T3.FNo as FManagerNo, T3.FName as FManagerName, T3.FCode as FManagerCode, T4.FNo as FUnitNo, T4.FName as FUnitName, T4.FCode as FUnitCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode,T7.FName as FCheckName ,T8.FNo as FDeptNo, T8.FName as FDeptName, T8.FCode as FDeptCode  from  t_ProTaskform  T1 left join t_comProducts T2 on t1.FProductID = T2.FID left join t_comEmployee T3 on T1.FManagerID = T3.FID left join t_comUnit T4 on T1.FUnitID = T4.FID left join t_comUser T6 on T1.FBillerID = T6.FID left join t_comUser T7 on T1.FCheckerID = T7.FID  left join t_comdepartment T8 on T1.FDeptID = T8.FID  where T1.FID >0  and T1.FBillDate >= '@MONTH_BEGIN@'and T1.FBillDate <'@MONTH_NEXT@' and(T1.FBillNo like '%\\_%' or T1.FNote like '%\\_%' or T1.FFormDefined1 like '%\\_%' or T1.FFormDefined2 like '%\\_%' or T1.FFormDefined3 like '%\\_%' or T1.FProductID in (select T2.FID from t_comProducts T2 where T2.FNo like '%\\_%' or T2.FName like '%\\_%' or T2.FCode like '%\\_%') or T1.FManagerID in (select T3.FID from t_comEmployee T3 where T3.FNo like '%\\_%' or T3.FName like '%\\_%' or T3.FCode like '%\\_%') or T1.FDeptID in (select T8.FID from t_comdepartment T8 where T8.FNo like '%\\_%' or T8.FName like '%\\_%' or T8.FCode like '%\\_%') or T1.FID in (select T11.FFormID from t_ProTasklist T11 where T11.FListDefined1 like '%\\_%' or T11.FListDefined2 like '%\\_%' or T11.FListDefined3 like '%\\_%' or T11.FProductID in (select T12.FID from t_comProducts T12 where T12.FProductDefined1 like '%\\_%' or T12.FProductDefined2 like '%\\_%' or T12.FProductDefined3 like '%\\_%' or T12.FNo like '%\\_%' or T12.FName like '%\\_%' or T12.FCode like '%\\_%'))) and IfNull(T1.FIsChecked,0) = 0  order by T1.FBillDate,T1.FBillNo;

-- @query reference tests before deleting a task, a sales order, a purchase order, a receipt and a delivery
select * from  t_ProTasklist  where FFormID = 1 and IfNull(FFinishNumber,0) > 0 ;
select * from  t_ProTaskform  where FID = 1 and IfNull(FFinishNumber,0) > 0 ;
select * from t_saleorderList where FFormID = 1 and IfNull(FFinishNumber,0) > 0 ;
select * from t_saleorderList where FFormID = 1 and IfNull(FPurOrderFinishNumber,0) > 0 ;
select * from t_saleorderList where FFormID = 1 and IfNull(FProtaskFinishNumber,0) > 0 ;
select * from t_purorderList where FFormID = 1 and IfNull(FFinishNumber,0) > 0 ;
select * from t_purList where FFormID = 1 and IfNull(FFinishNumber,0) > 0 ;
select * from t_saleoutList where FFormID = 1 and IfNull(FFinishNumber,0) > 0 ;

-- @check deleting a task from the list: its flag under a lock, its lines, its header, the log = 0|0|1
select FIsChecked from  t_ProTaskform  where FID = 5 for update;
delete from  t_ProTasklist  where FFormID = 5;
delete from  t_ProTaskform  where FID = 5;
insert into zzsyslog(FDateTime,FUserId,FHostName,FIpAddr,FMsgCont,FWindow)  values(now(),1,'SCB-PC01','192.168.1.21','删除操作 - 单据号:RWD@YM@00005','生产任务单列表');
select concat((select count(*) from t_ProTaskList where FFormID = 5), '|', (select count(*) from t_ProTaskForm where FID = 5), '|', (select count(*) from zzsyslog where FWindow = '生产任务单列表'));

-- @query stock shortage before checking: a delivery by its storehouse, a transfer, an assembly, a sales order per product, a dismantling
DESCRIBE  t_saleoutform FStorehouseID;
SELECT  TT2.FProductID, TT2.FProductName,SUM(IFNULL(TT1.FNumber,0)) AS FNumber,SUM(IFNULL(TT2.FNumber,0)) FROM (  SELECT T1.FStorehouseID as FStorehouseID, T2.FProductID,T4.FName as FProductName,    SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.FNumber,0)     ELSE IFNULL(T2.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber   FROM t_saleoutform T1 INNER JOIN t_saleoutList T2 ON T1.FID = T2.FFormID     LEFT JOIN t_comProductUnit T3 ON T2.FProductID = T3.FProductID AND T2.FUnitId = T3.FUnitID     left join t_comProducts T4 on T2.FProductID = T4.FID   WHERE T1.FID = 1 GROUP BY T1.FStorehouseID, T2.FProductID,T4.FName   ) TT2 LEFT JOIN t_Balance TT1   ON TT1.FProductID = TT2.FProductID AND TT1.FStorehouseID = TT2.FStorehouseID   GROUP BY TT1.FProductID, TT2.FProductName,TT2.FNumber   HAVING SUM(IFNULL(TT1.FNumber,0)) < SUM(IFNULL(TT2.FNumber,0));
DESCRIBE  t_transferform FOutStorehouseID;
SELECT  TT2.FProductID, TT2.FProductName,SUM(IFNULL(TT1.FNumber,0)) AS FNumber,SUM(IFNULL(TT2.FNumber,0)) FROM (  SELECT T1.FOutStorehouseID as FStorehouseID, T2.FProductID,T4.FName as FProductName,    SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.FNumber,0)     ELSE IFNULL(T2.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber   FROM t_transferform T1 INNER JOIN t_transferList T2 ON T1.FID = T2.FFormID     LEFT JOIN t_comProductUnit T3 ON T2.FProductID = T3.FProductID AND T2.FUnitId = T3.FUnitID     left join t_comProducts T4 on T2.FProductID = T4.FID   WHERE T1.FID = 1 GROUP BY T1.FOutStorehouseID, T2.FProductID,T4.FName   ) TT2 LEFT JOIN t_Balance TT1   ON TT1.FProductID = TT2.FProductID AND TT1.FStorehouseID = TT2.FStorehouseID   GROUP BY TT1.FProductID, TT2.FProductName,TT2.FNumber   HAVING SUM(IFNULL(TT1.FNumber,0)) < SUM(IFNULL(TT2.FNumber,0));
SELECT  TT2.FProductID, TT2.FProductName,SUM(IFNULL(TT1.FNumber,0)) AS FNumber,SUM(IFNULL(TT2.FNumber,0)) FROM (  SELECT T2.FStorehouseID as FStorehouseID, T2.FProductID,T4.FName as FProductName,    SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.FNumber,0)     ELSE IFNULL(T2.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber   FROM t_assemblyform T1 INNER JOIN t_assemblyList T2 ON T1.FID = T2.FFormID     LEFT JOIN t_comProductUnit T3 ON T2.FProductID = T3.FProductID AND T2.FUnitId = T3.FUnitID     left join t_comProducts T4 on T2.FProductID = T4.FID   WHERE T1.FID = 1 GROUP BY T2.FStorehouseID, T2.FProductID,T4.FName   ) TT2 LEFT JOIN t_Balance TT1   ON TT1.FProductID = TT2.FProductID AND TT1.FStorehouseID = TT2.FStorehouseID   GROUP BY TT1.FProductID, TT2.FProductName,TT2.FNumber   HAVING SUM(IFNULL(TT1.FNumber,0)) < SUM(IFNULL(TT2.FNumber,0));
DESCRIBE  t_saleorderform FStorehouseID;
SELECT  TT2.FProductID, TT2.FProductName,SUM(IFNULL(TT1.FNumber,0)) AS FNumber,SUM(IFNULL(TT2.FNumber,0)) FROM (  SELECT T2.FProductID,T4.FName as FProductName,    SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.FNumber,0)     ELSE IFNULL(T2.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber   FROM t_saleorderform T1 INNER JOIN t_saleorderList T2 ON T1.FID = T2.FFormID     LEFT JOIN t_comProductUnit T3 ON T2.FProductID = T3.FProductID AND T2.FUnitId = T3.FUnitID     left join t_comProducts T4 on T2.FProductID = T4.FID   WHERE T1.FID = 1 GROUP BY T2.FProductID,T4.FName   ) TT2 LEFT JOIN t_Balance TT1   ON TT1.FProductID = TT2.FProductID   GROUP BY TT1.FProductID, TT2.FProductName,TT2.FNumber   HAVING SUM(IFNULL(TT1.FNumber,0)) < SUM(IFNULL(TT2.FNumber,0));
SELECT  TT2.FProductID, TT2.FProductName,SUM(IFNULL(TT1.FNumber,0)) AS FNumber,SUM(IFNULL(TT2.FNumber,0)) FROM (  SELECT T1.FStorehouseID, T1.FProductID,T4.FName as FProductName,    SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T1.FNumber,0)     ELSE IFNULL(T1.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber   FROM t_assemblyform T1    LEFT JOIN t_comProductUnit T3 ON T1.FProductID = T3.FProductID AND T1.FUnitId = T3.FUnitID     left join t_comProducts T4 on T1.FProductID = T4.FID   WHERE T1.FID = 1 GROUP BY T1.FStorehouseID, T1.FProductID,T4.FName   ) TT2 LEFT JOIN t_Balance TT1   ON TT1.FProductID = TT2.FProductID AND TT1.FStorehouseID = TT2.FStorehouseID   GROUP BY TT1.FProductID, TT2.FProductName,TT2.FNumber   HAVING SUM(IFNULL(TT1.FNumber,0)) < SUM(IFNULL(TT2.FNumber,0));

-- @check the delivery of 20 chairs from a storehouse that holds fewer is short of chairs = 办公椅
update t_Balance set FNumber = 5 where FStorehouseID = 2 and FProductID = 1;
SELECT  TT2.FProductName FROM (  SELECT T1.FStorehouseID as FStorehouseID, T2.FProductID,T4.FName as FProductName,    SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.FNumber,0)     ELSE IFNULL(T2.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber   FROM t_saleoutform T1 INNER JOIN t_saleoutList T2 ON T1.FID = T2.FFormID     LEFT JOIN t_comProductUnit T3 ON T2.FProductID = T3.FProductID AND T2.FUnitId = T3.FUnitID     left join t_comProducts T4 on T2.FProductID = T4.FID   WHERE T1.FID = 1 GROUP BY T1.FStorehouseID, T2.FProductID,T4.FName   ) TT2 LEFT JOIN t_Balance TT1   ON TT1.FProductID = TT2.FProductID AND TT1.FStorehouseID = TT2.FStorehouseID   GROUP BY TT1.FProductID, TT2.FProductName,TT2.FNumber   HAVING SUM(IFNULL(TT1.FNumber,0)) < SUM(IFNULL(TT2.FNumber,0));

-- @query the rebate already counted by another rebate bill
select T1.FClientID,T1.FBeginDate, T1.FEndDate,T2.FProductID  from T_returnForm T1 left join t_returnlist T2 on T1.FID = T2.FFormID  where IfNull(T2.FIsSelected,0) = 1 and T1.FID = 1;
select distinct IfNull(FReturnFromFormID,0) as FReturnFromFormID  from t_PurForm T1 inner join t_PurList T2 on T1.FID = T2.FFormID  left join t_comProducts T3 on T2.FProductID = T3.FID  left join t_comUnit T4 on T2.FUnitID = T4.FID  where T1.FClientID = 10 and T1.FBillDate >= '@MONTH_BEGIN@' and T1.FBillDate <='@MONTH_END@' and FIsPresent = 0 and IfNull(T2.FReturnFromFormID,0) <> 0  and IfNull(T2.FReturnFromFormID,0) <> 1 and T2.FProductID in( 37);

-- @write check and uncheck from the list: the flag under a lock, then the task's posting
select FIsChecked from  t_ProTaskform  where FID = 4 for update;
update t_SaleOrderList T1 inner join (select FFromListID, sum(IfNull(FNumber,0)) as FSourceNumber from t_protaskForm where FID = 4   and IfNull(FFromListID,0) <> 0  group by FFromListID) T2  on T1.FID = T2.FFromListID set T1.FProtaskFinishNumber = IfNull(T1.FProtaskFinishNumber,0) + IfNull(T2.FSourceNumber,0) * 1;
update  t_ProTaskform  set FIsChecked = 1, FCheckerID = 1 ,FCheckerDate = now() where FID = 4;

-- ===========================================================================
-- Posting: negative batch stock tests
-- ===========================================================================

-- @query negative batch stock before checking a purchase return
SELECT T4.FName as FProductName FROM t_PurForm T1 INNER JOIN T_PurList T2 ON T1.FID = T2.FFormID  LEFT JOIN t_comProductBatchNo T3 ON T2.FProductID = T3.FProductID AND  T1.FStorehouseID = T3.FStorehouseID AND IFNULL(T2.FBatchNo1,'') = IFNULL(T3.FBatchNo1,'') AND IFNULL(T2.FKFDate,'') = IFNULL(T3.FKFDate,'') AND IFNULL(T2.FPeriodDate,0) = IFNULL(T3.FPeriodDate,0) left join t_comProducts T4 on T2.FProductID = T4.FID  WHERE T1.FID = 1 AND (IFNULL(T2.FNumber,0) * -1) >  IFNULL(T3.FNumber,0) and T4.FIsBatchNo = 1 ;

-- @check unchecking a purchase whose batch was never booked is refused = 油漆
SELECT T4.FName as FProductName FROM t_PurForm T1 INNER JOIN T_PurList T2 ON T1.FID = T2.FFormID  LEFT JOIN t_comProductBatchNo T3 ON T2.FProductID = T3.FProductID AND  T1.FStorehouseID = T3.FStorehouseID AND IFNULL(T2.FBatchNo1,'') = IFNULL(T3.FBatchNo1,'') AND IFNULL(T2.FKFDate,'') = IFNULL(T3.FKFDate,'') AND IFNULL(T2.FPeriodDate,0) = IFNULL(T3.FPeriodDate,0) left join t_comProducts T4 on T2.FProductID = T4.FID  WHERE T1.FID = 1 AND (IFNULL(T2.FNumber,0) * 1) >  IFNULL(T3.FNumber,0) and T4.FIsBatchNo = 1 ;

-- @query negative batch stock before unchecking other stock-in and stock gain
SELECT T4.FName as FProductName FROM t_OtherOutInForm T1 INNER JOIN T_OtherOutInList T2 ON T1.FID = T2.FFormID  LEFT JOIN t_comProductBatchNo T3 ON T2.FProductID = T3.FProductID AND  T1.FStorehouseID = T3.FStorehouseID AND IFNULL(T2.FBatchNo1,'') = IFNULL(T3.FBatchNo1,'') AND IFNULL(T2.FKFDate,'') = IFNULL(T3.FKFDate,'') AND IFNULL(T2.FPeriodDate,0) = IFNULL(T3.FPeriodDate,0) left join t_comProducts T4 on T2.FProductID = T4.FID  WHERE T1.FID = 1 AND (IFNULL(T2.FNumber,0) * 1) >  IFNULL(T3.FNumber,0) and T4.FIsBatchNo = 1 ;
SELECT T4.FName as FProductName FROM t_LossGainForm T1 INNER JOIN T_LossGainList T2 ON T1.FID = T2.FFormID  LEFT JOIN t_comProductBatchNo T3 ON T2.FProductID = T3.FProductID AND  T1.FStorehouseID = T3.FStorehouseID AND IFNULL(T2.FBatchNo1,'') = IFNULL(T3.FBatchNo1,'') AND IFNULL(T2.FKFDate,'') = IFNULL(T3.FKFDate,'') AND IFNULL(T2.FPeriodDate,0) = IFNULL(T3.FPeriodDate,0) left join t_comProducts T4 on T2.FProductID = T4.FID  WHERE T1.FID = 1 AND (IFNULL(T2.FNumber,0) * 1) >  IFNULL(T3.FNumber,0) and T4.FIsBatchNo = 1 ;

-- ===========================================================================
-- Posting a purchase receipt (3002)
-- ===========================================================================

-- @check a receipt dated 10:20 on the 1st marks its products for recosting from that day = @MONTH_BEGIN@|2
select FBillDate from t_purform where FID = 1;
insert into t_billcalflag(FProductID,FTypeID, FPeriod) select distinct T2.FProductID, 0, @YM@ from t_purform T1 inner join t_purList T2  on T1.FID = T2.FFormID where T1.FID = 1 and not exists( select * from t_billcalflag T3   where T2.FProductID = T3.FProductID and T3.FPeriod = @YM@ );
UPDATE t_billcalflag TT1 INNER JOIN  (SELECT DISTINCT T1.FBillDate, T2.FProductID      from t_purform T1 inner join t_purList T2      on T1.FID = T2.FFormID where T1.FID = 1 ) TT2   ON  TT1.FProductID = TT2.FProductID and TT1.FPeriod = @YM@ SET TT1.FLastDate = TT2.FBillDate WHERE  (TT1.FLastDate > TT2.FBillDate OR (IFNULL(TT1.FLastDate,'') = ''));
select concat(max(FLastDate), '|', count(*)) from t_billcalflag where FPeriod = @YM@;

-- @write cost recalculation marks of an assembly header
insert into t_billcalflag(FProductID,FTypeID, FPeriod) select FProductID, 0, @YM@ from t_assemblyform T1 where T1.FID = 1 and not exists( select * from t_billcalflag T3   where T1.FProductID = T3.FProductID and T3.FPeriod = @YM@);
UPDATE t_billcalflag TT1 INNER JOIN  (SELECT DISTINCT T1.FBillDate, T1.FProductID      from t_assemblyform T1  where T1.FID = 1 ) TT2   ON  TT1.FProductID = TT2.FProductID and TT1.FPeriod = @YM@ SET TT1.FLastDate = TT2.FBillDate  WHERE TT1.FLastDate > TT2.FBillDate OR (IFNULL(TT1.FLastDate,'') = '');

-- @write supplier paid and total amounts
update t_comClient T1 inner join  (select FClientID as FClientID,sum(IfNull(FPayAmount,0)) as FAmount from t_PurForm where FID = 1 group by FClientID) T2  on T1.FID = T2.FClientID set FLastInOuDateTime = now(),T1.FPayAmount = IfNull(T1.FPayAmount,0) + T2.FAmount * 1;
update t_comClient T1 inner join  (select FClientID as FClientID,sum(IfNull(FAmount,0)) as FAmount from t_PurForm where FID = 1 group by FClientID) T2  on T1.FID = T2.FClientID set FLastInOuDateTime = now(),T1.FTotalAmount = IfNull(T1.FTotalAmount,0) + T2.FAmount * 1,T1.FUnPayAmount = (IfNull(T1.FTotalAmount,0) + T2.FAmount * 1) - IfNull(T1.FPayAmount,0);

-- @check a receipt of 2 buckets and 3 boxes (and 100 loose screws as a gift) raises current stock in base units = 240.00000000|16600.00000000
update t_comProducts T1 inner join (select T1.FProductID as FProductID, SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T1.FNumber,0)  ELSE IFNULL(T1.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber  from t_PurList T1   left join t_comProductUnit T3 on T1.FProductID = T3.FProductID and T1.FUnitId = T3.FUnitID  where T1.FFormID = 1 group by T1.FProductID) T2     on T1.FID = T2.FProductID set T1.FCurStock = IfNull(T1.FCurStock,0) + T2.FNumber * 1;
select concat((select FCurStock from t_comProducts where FID = 37), '|', (select FCurStock from t_comProducts where FID = 17));

-- @check the receipt raises the storehouse balance and makes the missing row = 240.00000000|4600.00000000|1
insert into t_Balance(FStorehouseID,FProductID)   select IfNull(T1.FStorehouseID,0) as FStorehouseID,T2.FProductID  from t_PurForm T1 inner join T_PurList T2 on T1.FID = T2.FFormID   where T1.FID = 1 and not exists(select * from t_Balance T3             where T3.FStorehouseID = IfNull(T1.FStorehouseID,0)           and T3.FProductID = T2.FProductID)  group by IfNull(T1.FStorehouseID,0),T2.FProductID;
update t_PurForm set FStorehouseID = 1 where FID = 1;
insert into t_Balance(FStorehouseID,FProductID)   select IfNull(T1.FStorehouseID,0) as FStorehouseID,T2.FProductID  from t_PurForm T1 inner join T_PurList T2 on T1.FID = T2.FFormID   where T1.FID = 1 and not exists(select * from t_Balance T3             where T3.FStorehouseID = IfNull(T1.FStorehouseID,0)           and T3.FProductID = T2.FProductID)  group by IfNull(T1.FStorehouseID,0),T2.FProductID;
update t_PurForm set FStorehouseID = 2 where FID = 1;
update t_Balance T3 inner join (    select IfNull(T1.FStorehouseID,0) as FStorehouseID,T2.FProductID as FProductID,T2.FUnitID,      SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.FNumber,0)           ELSE IFNULL(T2.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber     FROM t_PurForm T1 INNER JOIN T_PurList T2 ON T1.FID = T2.FFormID       LEFT JOIN t_comProductUnit T3 ON T2.FProductID = T3.FProductID AND T2.FUnitId = T3.FUnitID     WHERE T1.FID = 1    GROUP BY IFNULL(T1.FStorehouseID,0),T2.FProductID  )  T4   ON T3.FStorehouseID = T4.FStorehouseID AND T3.FProductId = T4.FProductID  SET T3.FNumber = IFNULL(T3.FNumber,0) + T4.FNumber *1;
select concat((select FNumber from t_Balance where FStorehouseID = 2 and FProductID = 37), '|',
              (select FNumber from t_Balance where FStorehouseID = 2 and FProductID = 17), '|',
              (select count(*) from t_Balance where FStorehouseID = 1 and FProductID = 37 and FNumber is null));

-- @check the receipt books its paint lot as a new batch row = 40.00000000|1280.00000000|3
insert into t_comProductBatchNo(FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate)   select IfNull(T1.FStorehouseID,0) as FStorehouseID,T2.FProductID,   IfNull(T2.FBatchNo1,'') as FBatchNo1,T2.FKFDate,max(T2.FKFPeriod),T2.FPeriodDate   from t_PurForm T1 inner join T_PurList T2 on T1.FID = T2.FFormID   inner join t_comProducts cp1 on T2.FProductID = cp1.FID   where T1.FID = 1      and IfNull(T2.FNumber,0) > 0 and cp1.FIsBatchNo = 1       and not exists(select * from t_comProductBatchNo T3             where T3.FStorehouseID = IfNull(T1.FStorehouseID,0)           and T3.FProductID = T2.FProductID and IfNull(T3.FBatchNo1,'') = IfNull(T2.FBatchNo1,'')           and IfNull(T3.FKFDate,'') = ifNull(T2.FKFDate,'')          and IfNull(T3.FPeriodDate,'') = ifNull(T2.FPeriodDate,''))  group by IfNull(T1.FStorehouseID,0),T2.FProductID,           IfNull(T2.FBatchNo1,'') ,T2.FKFDate,T2.FPeriodDate;
update t_comProductBatchNo T3 inner join (    select IfNull(T1.FStorehouseID,0) as FStorehouseID,T2.FProductID as FProductID,T2.FUnitID,      IfNull(FBatchNo1,'') as FBatchNo1,T2.FKFDate,max(T2.FKFPeriod) as FKFPeriod,T2.FPeriodDate,       SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.FNumber,0)           ELSE IFNULL(T2.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber,      sum(IfNull(T2.FTobeDiscountAmount,0)) as FAmount     FROM t_PurForm T1 INNER JOIN T_PurList T2 ON T1.FID = T2.FFormID      inner join t_comProducts cp1 on T2.FProductID = cp1.FID       LEFT JOIN t_comProductUnit T3 ON T2.FProductID = T3.FProductID AND T2.FUnitId = T3.FUnitID     WHERE T1.FID = 1      and IfNull(T2.FNumber,0) > 0 and cp1.FIsBatchNo = 1     GROUP BY IFNULL(T1.FStorehouseID,0),T2.FProductID,      IFNULL(FBatchNo1,''),T2.FKFDate,T2.FPeriodDate   )  T4   ON T3.FStorehouseID = T4.FStorehouseID AND T3.FProductId = T4.FProductID       AND IFNULL(T3.FBatchNo1,'') = IFNULL(T4.FBatchNo1,'')           and IfNull(T3.FKFDate,'') = ifNull(T4.FKFDate,'')          and IfNull(T3.FPeriodDate,'') = ifNull(T4.FPeriodDate,'') SET T3.FNumber = IFNULL(T3.FNumber,0) + T4.FNumber *1 ,T3.FAmount = IfNull(T3.FAmount,0) + T4.FAmount * 1;
select concat((select FNumber from t_comProductBatchNo where FProductID = 37 and FBatchNo1 = 'LOT-A'), '|',
              (select FAmount from t_comProductBatchNo where FProductID = 37 and FBatchNo1 = 'LOT-A'), '|',
              (select count(*) from t_comProductBatchNo where FProductID = 37));

-- @write purchase order completion, last purchase price and cash paid out
update t_PurOrderList T1 inner join (select FFromOrderListID, sum(IfNull(FNumber,0)) as FSourceNumber from t_PurList where FFormID = 1   and IfNull(FFromOrderListID,0) <> 0  group by FFromOrderListID) T2  on T1.FID = T2.FFromOrderListID set T1.FFinishNumber = IfNull(T1.FFinishNumber,0) + IfNull(T2.FSourceNumber,0) * 1;
update t_comProductUnit T1 inner join  T_PurList T2  on T1.FProductID = T2.FProductID and T1.FUnitId = T2.FUnitID  set T1.FLastInPrice = T2.FPrice, T1.FLastInDate = now()  where T2.FFormID = 1 and IfNull(T2.FPrice,0) <> 0;
update t_comCash T3 Inner join t_PurForm T4 on T3.FID = T4.FCashID set T3.FBalance = IfNull(T3.FBalance,0) + IfNull(T4.FPayAmount,0) * -1 where T4.FID = 1;

-- @write checked flag set and cleared
update t_PurForm set FIsChecked = 1, FCheckerID = 1 ,FCheckerDate = now() where FID = 1;
update t_PurForm set FIsChecked = 0, FCheckerID = null,FCheckerDate = null where FID = 1;

-- ===========================================================================
-- Posting a sales out bill (3004)
-- ===========================================================================

-- @write client received and unpaid amounts
update t_comClient T1 inner join  (select FClientID as FClientID,sum(IfNull(FReceiveAmount,0)) as FAmount from t_SaleOutForm where FID = 1 group by FClientID) T2  on T1.FID = T2.FClientID set FLastInOuDateTime = now(),T1.FPayAmount = IfNull(T1.FPayAmount,0) + T2.FAmount * 1;
update t_comClient T1 inner join  (select FClientID as FClientID,sum(IfNull(FReceiveAmount,0)) as FAmount from t_SaleOrderForm where FID = 1 group by FClientID) T2  on T1.FID = T2.FClientID set FLastInOuDateTime = now(),T1.FUnPayAmount = IfNull(T1.FUnPayAmount,0) + T2.FAmount * -1;

-- @write stock and balance out of the storehouse
update t_comProducts T1 inner join (select T1.FProductID as FProductID, SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T1.FNumber,0)  ELSE IFNULL(T1.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber  from t_SaleOutList T1   left join t_comProductUnit T3 on T1.FProductID = T3.FProductID and T1.FUnitId = T3.FUnitID  where T1.FFormID = 1 group by T1.FProductID) T2     on T1.FID = T2.FProductID set T1.FCurStock = IfNull(T1.FCurStock,0) + T2.FNumber * -1;
insert into t_Balance(FStorehouseID,FProductID)   select IfNull(T1.FStorehouseID,0) as FStorehouseID,T2.FProductID  from t_SaleOutForm T1 inner join T_SaleOutList T2 on T1.FID = T2.FFormID   where T1.FID = 1 and not exists(select * from t_Balance T3             where T3.FStorehouseID = IfNull(T1.FStorehouseID,0)           and T3.FProductID = T2.FProductID)  group by IfNull(T1.FStorehouseID,0),T2.FProductID;
update t_Balance T3 inner join (    select IfNull(T1.FStorehouseID,0) as FStorehouseID,T2.FProductID as FProductID,T2.FUnitID,      SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.FNumber,0)           ELSE IFNULL(T2.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber     FROM t_SaleOutForm T1 INNER JOIN T_SaleOutList T2 ON T1.FID = T2.FFormID       LEFT JOIN t_comProductUnit T3 ON T2.FProductID = T3.FProductID AND T2.FUnitId = T3.FUnitID     WHERE T1.FID = 1    GROUP BY IFNULL(T1.FStorehouseID,0),T2.FProductID  )  T4   ON T3.FStorehouseID = T4.FStorehouseID AND T3.FProductId = T4.FProductID  SET T3.FNumber = IFNULL(T3.FNumber,0) + T4.FNumber *-1;

-- @write outgoing batch allocation: the lines, one locking read of the batch rows, a created shortage row, the stock taken and the records
select T1.FTypeID as FBillTypeID, T1.FID as FBillID, T2.FID as FListid,T1.FBillNo, T1.FBillDate as FBillDate, T1.FStorehouseID as FStorehouseID,  T2.FProductID as FProductID,   CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.FNumber,0)     ELSE IFNULL(T2.FNumber,0) * IFNULL(T3.FRatio,0) END  AS FNumber, ifNull(T2.FBatchNo1,'') as FBatchNo1,T2.FKFDate,IfNull(T2.FKFPeriod,0) as FKFPeriod,T2.FPeriodDate, WEIGHT_STRING(IfNull(T2.FBatchNo1,'') AS CHAR(100)) as FBatchKey  from t_SaleOutForm T1 inner join T_SaleOutList T2    on T1.FID = T2.FFormID and T1.FID = 1  inner join t_comProducts cp1 on T2.FProductID = cp1.FID  LEFT JOIN t_comProductUnit T3 ON T2.FProductID = T3.FProductID AND T2.FUnitId = T3.FUnitID  where IfNull(T2.FNumber,0) > 0  and cp1.FIsBatchNo = 1 ;
select FID from t_comProducts where FID in (17,37) order by FID for update;
select FID, FStorehouseID, FProductID, FBatchNo1, FKFDate, FKFPeriod, FPeriodDate, FNumber, WEIGHT_STRING(IfNull(FBatchNo1,'') AS CHAR(100)) as FBatchKey from t_comProductBatchNo force index (ux_batch) where FStorehouseID = 2 and FProductID = 37 order by FKFDate, FBatchNo1, FID for update;
insert into t_comProductBatchNo(FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate,FNumber) values(2,37,'NEW-01',STR_TO_DATE('','%Y-%m-%d'),0,STR_TO_DATE('','%Y-%m-%d'),-3);
SELECT LAST_INSERT_ID() AS IBatchNoID;
update t_comProductBatchNo T inner join (select 1 as FID, 5 as FNumber union all select 2,0.125) D on T.FID = D.FID set T.FNumber = IfNull(T.FNumber,0) - D.FNumber;
Insert into t_comProductOutBatchNo (FFromID,FTypeID,FBillID,FListID,FBillNo,FBillDate,FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate,FNumber,FPrice,FAmount)  values (1,4,1,2,'CHD@YM@00001','@MONTH_BEGIN@',2,37,'20250101-01',STR_TO_DATE('2025-01-01','%Y-%m-%d'),365,STR_TO_DATE('2026-01-01','%Y-%m-%d'),5,0,0),(99,4,1,2,'CHD@YM@00001','@MONTH_BEGIN@',2,37,'NEW-01',STR_TO_DATE('','%Y-%m-%d'),0,STR_TO_DATE('','%Y-%m-%d'),3,0,0);

-- @check batch numbers are the same batch whatever their case and trailing blanks = 1|1|0
select concat(WEIGHT_STRING('lot-a  ' AS CHAR(100)) = WEIGHT_STRING(IfNull('LOT-A','') AS CHAR(100)), '|',
              (select WEIGHT_STRING(concat(lower(FBatchNo1), '  ') AS CHAR(100)) = WEIGHT_STRING(IfNull(FBatchNo1,'') AS CHAR(100)) from t_comProductBatchNo where FID = 1), '|',
              WEIGHT_STRING('LOT-A' AS CHAR(100)) = WEIGHT_STRING('LOT-B' AS CHAR(100)));

-- @check a shortage booked on a new batch row reads back its key = 1
insert into t_comProductBatchNo(FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate,FNumber) values(2,37,'NEW-02',STR_TO_DATE('@MONTH_BEGIN@','%Y-%m-%d'),365,STR_TO_DATE('@MONTH_END@','%Y-%m-%d'),-3);
select count(*) from t_comProductBatchNo where FID = LAST_INSERT_ID() and FBatchNo1 = 'NEW-02' and FNumber = -3;

-- @check allocating 5 kg from the oldest paint batch and releasing it restores the batch = 115.00000000|1|120.00000000|0
update t_comProductBatchNo T inner join (select 1 as FID, 5 as FNumber) D on T.FID = D.FID set T.FNumber = IfNull(T.FNumber,0) - D.FNumber;
Insert into t_comProductOutBatchNo (FFromID,FTypeID,FBillID,FListID,FBillNo,FBillDate,FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate,FNumber,FPrice,FAmount)  values (1,4,1,2,'CHD@YM@00001','@MONTH_BEGIN@',2,37,'20250101-01',STR_TO_DATE('2025-01-01','%Y-%m-%d'),365,STR_TO_DATE('2026-01-01','%Y-%m-%d'),5,0,0);
select FNumber into @taken from t_comProductBatchNo where FID = 1;
select count(*) into @records from t_comProductOutBatchNo where FBillID = 1 and FTypeID = 4;
update t_comProductBatchNo T1 inner join (select FFromID, sum(IfNull(FNumber,0)) as FNumber from t_comProductOutBatchNo where FBillID = 1    and FTypeID = 4 group by FFromID) T2 on T1.FID = T2.FFromID  set T1.FNumber = IfNull(T1.FNumber,0) + IfNull(T2.FNumber,0) ;
delete from t_comProductOutBatchNo where FBillID = 1    and FTypeID = 4;
select concat(@taken, '|', @records, '|', (select FNumber from t_comProductBatchNo where FID = 1), '|',
              (select count(*) from t_comProductOutBatchNo where FBillID = 1 and FTypeID = 4));

-- @write sales order delivered, last sale price, client prices and cash received
update t_SaleOrderList T1 inner join (select FFromOrderListID, sum(IfNull(FNumber,0)) as FSourceNumber from t_SaleOutList where FFormID = 1   and IfNull(FFromOrderListID,0) <> 0  group by FFromOrderListID) T2  on T1.FID = T2.FFromOrderListID set T1.FFinishNumber = IfNull(T1.FFinishNumber,0) + IfNull(T2.FSourceNumber,0) * 1;
update t_comProductUnit T1 inner join  T_SaleOutList T2  on T1.FProductID = T2.FProductID and T1.FUnitId = T2.FUnitID  set T1.FLastOutPrice = T2.FPrice, T1.FLastOutDate = now()  where T2.FFormID = 1 and IfNull(T2.FPrice,0) <> 0;
insert into t_comProductsPrice(FProductID,FUnitID,FClientID)   select T2.FProductID as FPriductID, T2.FUnitID,IfNull(T1.FClientID,0) as FClientID   from t_SaleOutForm T1 inner join T_SaleOutList T2 on T1.FID = T2.FFormID   where T1.FID = 1 and not exists(select * from t_comProductsPrice T3             where T3.FClientID = IfNull(T1.FClientID,0)           and T3.FProductID = T2.FProductID and T3.FUnitID = T2.FUnitID)  group by IfNull(T1.FClientID,0),T2.FProductID,T2.FUnitID;
update t_comProductsPrice T3 inner join (    select IfNull(T1.FClientID,0) as FClientID,T2.FProductID as FProductID,T2.FUnitID,           IfNull(T2.FNumber,0) as FNumber,IfNull(T2.FPrice,0) as FPrice,           IfNull(T2.FAmount,0) as FAmount     from t_SaleOutForm T1 inner join T_SaleOutList T2 on T1.FID = T2.FFormID     where T1.FID = 1 and IfNull(T2.FPrice,0) <> 0     ) T4   on T3.FClientID = T4.FClientID and T3.FProductId = T4.FProductID and T3.FUnitID = T4.FUnitID  Set T3.FNumber = T4.FNumber,T3.FPrice = T4.FPrice, T3.FAmount = T4.FAmount, T3.FDate = now();
update t_comCash T3 Inner join t_SaleOutForm T4 on T3.FID = T4.FCashID set T3.FBalance = IfNull(T3.FBalance,0) + IfNull(T4.FReceiveAmount,0) * 1 where T4.FID = 1;

-- @write receipt settles a sales out bill
update t_SaleOutForm T1 inner join (select FFromBillID, sum(IfNull(FAmount,0)) as FSourceNumber from t_receivepayList where FFormID = 1   and IfNull(FFromBillID,0) <> 0  group by FFromBillID) T2  on T1.FID = T2.FFromBillID set T1.FFinishAmount = IfNull(T1.FFinishAmount,0) + IfNull(T2.FSourceNumber,0) * 1;
update t_PurForm T1 inner join (select FFromBillID, sum(IfNull(FAmount,0)) as FSourceNumber from t_receivepayList where FFormID = 1   and IfNull(FFromBillID,0) <> 0  group by FFromBillID) T2  on T1.FID = T2.FFromBillID set T1.FFinishAmount = IfNull(T1.FFinishAmount,0) + IfNull(T2.FSourceNumber,0) * -1;

-- ===========================================================================
-- Posting of the production task and the bills that follow it
-- ===========================================================================

-- @write checking and unchecking a task moves the sales order line's counter
update t_SaleOrderList T1 inner join (select FFromListID, sum(IfNull(FNumber,0)) as FSourceNumber from t_protaskForm where FID = 4   and IfNull(FFromListID,0) <> 0  group by FFromListID) T2  on T1.FID = T2.FFromListID set T1.FProtaskFinishNumber = IfNull(T1.FProtaskFinishNumber,0) + IfNull(T2.FSourceNumber,0) * 1;
update t_ProTaskForm set FIsChecked = 1, FCheckerID = 1 ,FCheckerDate = now() where FID = 4;
update t_SaleOrderList T1 inner join (select FFromListID, sum(IfNull(FNumber,0)) as FSourceNumber from t_protaskForm where FID = 1   and IfNull(FFromListID,0) <> 0  group by FFromListID) T2  on T1.FID = T2.FFromListID set T1.FProtaskFinishNumber = IfNull(T1.FProtaskFinishNumber,0) + IfNull(T2.FSourceNumber,0) * -1;
update t_ProTaskForm set FIsChecked = 0, FCheckerID = null,FCheckerDate = null where FID = 1;

-- @check checking the second chair task adds its 40 to the order line's 30 = 70.00000000
update t_SaleOrderList T1 inner join (select FFromListID, sum(IfNull(FNumber,0)) as FSourceNumber from t_protaskForm where FID = 4   and IfNull(FFromListID,0) <> 0  group by FFromListID) T2  on T1.FID = T2.FFromListID set T1.FProtaskFinishNumber = IfNull(T1.FProtaskFinishNumber,0) + IfNull(T2.FSourceNumber,0) * 1;
select FProtaskFinishNumber from t_SaleOrderList where FID = 1;

-- @check a task without a sales order line moves no counter = 0
update t_SaleOrderList T1 inner join (select FFromListID, sum(IfNull(FNumber,0)) as FSourceNumber from t_protaskForm where FID = 5   and IfNull(FFromListID,0) <> 0  group by FFromListID) T2  on T1.FID = T2.FFromListID set T1.FProtaskFinishNumber = IfNull(T1.FProtaskFinishNumber,0) + IfNull(T2.FSourceNumber,0) * 1;
select row_count();

-- @write material picking and finished goods receipt against a task
update t_protasklist T1 inner join (select FFromListID, sum(IfNull(FNumber,0)) as FSourceNumber from t_outpickinglist where FFormID = 1   and IfNull(FFromListID,0) <> 0  group by FFromListID) T2  on T1.FID = T2.FFromListID set T1.FFinishNumber = IfNull(T1.FFinishNumber,0) + IfNull(T2.FSourceNumber,0) * 1;
update t_comProducts T1 inner join (select T1.FProductID as FProductID, SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T1.FNumber,0)  ELSE IFNULL(T1.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber  from t_outpickinglist T1   left join t_comProductUnit T3 on T1.FProductID = T3.FProductID and T1.FUnitId = T3.FUnitID  where T1.FFormID = 1 group by T1.FProductID) T2     on T1.FID = T2.FProductID set T1.FCurStock = IfNull(T1.FCurStock,0) + T2.FNumber * -1;
update t_protaskForm T1 inner join (select FFromBillID, sum(IfNull(FNumber,0)) as FSourceNumber from t_infinishlist where FFormID = 1   and IfNull(FFromBillID,0) <> 0  group by FFromBillID) T2  on T1.FID = T2.FFromBillID set T1.FFinishNumber = IfNull(T1.FFinishNumber,0) + IfNull(T2.FSourceNumber,0) * 1;
update t_comClient T1 inner join  (select FClientID as FClientID,sum(IfNull(FPayAmount,0)) as FAmount from t_infinishform where FID = 1 group by FClientID) T2  on T1.FID = T2.FClientID set FLastInOuDateTime = now(),T1.FPayAmount = IfNull(T1.FPayAmount,0) + T2.FAmount * 1;
update t_comCash T3 Inner join t_infinishform T4 on T3.FID = T4.FCashID set T3.FBalance = IfNull(T3.FBalance,0) + IfNull(T4.FPayAmount,0) * -1 where T4.FID = 1;

-- @write transfer and assembly balances
insert into t_Balance(FStorehouseID,FProductID)   select IfNull(T1.FOutStorehouseID,0) as FStorehouseID,T2.FProductID  from t_TransferForm T1 inner join T_TransferList T2 on T1.FID = T2.FFormID   where T1.FID = 1 and not exists(select * from t_Balance T3             where T3.FStorehouseID = IfNull(T1.FOutStorehouseID,0)           and T3.FProductID = T2.FProductID)  group by IfNull(T1.FOutStorehouseID,0),T2.FProductID;
insert into t_Balance(FStorehouseID,FProductID,FBatchNo1,FBatchNo2,FBatchNo3)   select IfNull(FStorehouseID,0) as FStorehouseID,FProductID, '','',''   from t_AssemblyList  T1   where FFormID = 1 and not exists(select * from t_Balance T3             where T3.FStorehouseID = IfNull(T1.FStorehouseID,0)           and T3.FProductID = T1.FProductID)  group by IfNull(T1.FStorehouseID,0),T1.FProductID;
insert into t_Balance(FStorehouseID,FProductID,FBatchNo1,FBatchNo2,FBatchNo3)   select IfNull(FStorehouseID,0) as FStorehouseID,FProductID, '','',''   from t_AssemblyForm  T1   where FID = 1 and not exists(select * from t_Balance T3             where T3.FStorehouseID = IfNull(T1.FStorehouseID,0)           and T3.FProductID = T1.FProductID)  group by IfNull(T1.FStorehouseID,0),T1.FProductID;
update t_Balance T3 inner join (    select IfNull(T1.FStorehouseID,0) as FStorehouseID,T1.FProductID as FProductID,      SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T1.FNumber,0)           ELSE IFNULL(T1.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber     from t_AssemblyForm T1       LEFT JOIN t_comProductUnit T3 ON T1.FProductID = T3.FProductID AND T1.FUnitId = T3.FUnitID     where T1.FID = 1    group by IfNull(T1.FStorehouseID,0),T1.FProductID    ) T4   on T3.FStorehouseID = T4.FStorehouseID and T3.FProductId = T4.FProductID  Set T3.FNumber = IfNull(T3.FNumber,0) + T4.FNumber *1;
insert into t_comProductBatchNo(FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate)   select IfNull(T1.FStorehouseID,0) as FStorehouseID,T1.FProductID,   IfNull(T1.FBatchNo1,'') as FBatchNo1,T1.FKFDate,max(T1.FKFPeriod),T1.FPeriodDate   from t_AssemblyForm T1 inner join t_comProducts cp1 on T1.FProductID = cp1.FID   where T1.FID = 1      and IfNull(T1.FNumber,0) > 0 and cp1.FIsBatchNo = 1       and not exists(select * from t_comProductBatchNo T3             where T3.FStorehouseID = IfNull(T1.FStorehouseID,0)           and T3.FProductID = T1.FProductID and IfNull(T3.FBatchNo1,'') = IfNull(T1.FBatchNo1,'')           and IfNull(T3.FKFDate,'') = ifNull(T1.FKFDate,'')          and IfNull(T3.FPeriodDate,'') = ifNull(T1.FPeriodDate,''))  group by IfNull(T1.FStorehouseID,0),T1.FProductID,           IfNull(T1.FBatchNo1,'') ,T1.FKFDate,T1.FPeriodDate;
update t_comProductBatchNo T3 inner join (    select IfNull(T1.FStorehouseID,0) as FStorehouseID,T1.FProductID as FProductID,T1.FUnitID,      IfNull(FBatchNo1,'') as FBatchNo1,T1.FKFDate,max(T1.FKFPeriod) as FKFPeriod,T1.FPeriodDate,       SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T1.FNumber,0)           ELSE IFNULL(T1.FNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber,      sum(IfNull(T1.FAmount,0)) as FAmount     FROM t_AssemblyForm T1   inner join t_comProducts cp1 on T1.FProductID = cp1.FID       LEFT JOIN t_comProductUnit T3 ON T1.FProductID = T3.FProductID AND T1.FUnitId = T3.FUnitID     WHERE T1.FID = 1      and IfNull(T1.FNumber,0) > 0 and cp1.FIsBatchNo = 1     GROUP BY IFNULL(T1.FStorehouseID,0),T1.FProductID,      IFNULL(FBatchNo1,''),T1.FKFDate,T1.FPeriodDate   )  T4   ON T3.FStorehouseID = T4.FStorehouseID AND T3.FProductId = T4.FProductID       AND IFNULL(T3.FBatchNo1,'') = IFNULL(T4.FBatchNo1,'')           and IfNull(T3.FKFDate,'') = ifNull(T4.FKFDate,'')          and IfNull(T3.FPeriodDate,'') = ifNull(T4.FPeriodDate,'') SET T3.FNumber = IFNULL(T3.FNumber,0) + T4.FNumber *1 ,T3.FAmount = IfNull(T3.FAmount,0) + T4.FAmount * 1;
select T1.FTypeID as FBillTypeID, T1.FID as FBillID, 0 as FListID, T1.FBillNo, T1.FBillDate as FBillDate, T1.FStorehouseID as FStorehouseID, T1.FProductID as FProductID,  CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T1.FNumber,0)     ELSE IFNULL(T1.FNumber,0) * IFNULL(T3.FRatio,0) END  AS FNumber, ifNull(T1.FBatchNo1,'') as FBatchNo1,T1.FKFDate,IfNull(T1.FKFPeriod,0) as FKFPeriod,T1.FPeriodDate, WEIGHT_STRING(IfNull(T1.FBatchNo1,'') AS CHAR(100)) as FBatchKey  from t_AssemblyForm T1 inner join t_comProducts cp1 on T1.FProductID = cp1.FID  LEFT JOIN t_comProductUnit T3 ON T1.FProductID = T3.FProductID AND T1.FUnitId = T3.FUnitID  where T1.FID = 1 and IfNull(T1.FNumber,0) > 0  and cp1.FIsBatchNo = 1;

-- @write rebate over the month's purchases and its reversal
select * from t_returnform where FID = '1';
select * from t_returnList where FIsSelected = 1 and FFormID = '1';
select sum(IfNull(L.FTobeDiscountAmount,0)) as Amount  from t_purForm F inner join t_purList L on F.FID = L.FFormID  where F.FClientID = 10 and F.FBillDate >= '@MONTH_BEGIN@' and F.FBillDate <='@MONTH_END@' and L.FIsPresent = 0  and L.FProductID in( 37);
update t_purForm F inner join t_purList L on F.FID = L.FFormID  set L.FIsReturn = 1,L.FReturnFromFormID = 1, L.FReturnAmount = Round(IfNull(L.FTobeDiscountAmount,0) / 1280 * 100,2), L.FReturnPrice =Round(IfNull(L.FTobeDiscountAmount,0) / 1280 * 100/ L.FNumber,2) where F.FClientID = 10 and F.FBillDate >= '@MONTH_BEGIN@' and F.FBillDate <='@MONTH_END@' and L.FIsPresent = 0  and L.FProductID in( 37);
select * from t_ReceivePayForm where FID = 0;
insert into t_ReceivePayForm(FID,FBillTypeID,FTypeID,FFromBillTypeID,FFromFormBillID,FBillerID,FBillNo,FClientID,FBillDate,FAmount,FNote) values(1,2,7,17,1,1,'FKD@YM@00001',10,'@MONTH_END@ 00:00:00',100,'返利单生成的付款单,用于抵供应商欠款');
update t_ReturnForm set FReceiveFormID = 1 where FID = 1;
update t_comClient T1 inner join  (select FClientID as FClientID,sum(IfNull(FAmount,0)) as FAmount from t_ReceivePayForm where FID = 1 group by FClientID) T2  on T1.FID = T2.FClientID set FLastInOuDateTime = now(),T1.FPayAmount = IfNull(T1.FPayAmount,0) + T2.FAmount * 1;
update t_PurForm T1 inner join t_PurList T2 on T1.FID = T2.FFormID  set T2.FIsReturn = 0, T2.FReturnPrice = 0, T2.FReturnAmount = 0, T2.FReturnFromFormID = 0  where IfNull(T2.FReturnFromFormID,0) = 1;
select FClientID,FReceiveFormID from t_ReturnForm where FID = 1;
delete from t_ReceivePayForm where FID =1;
update t_ReturnForm set FReceiveFormID = 0 where FID = 1;

-- @write other payables total and income/expense cash
update t_comClient T1 inner join  (select FClientID as FClientID,sum(IfNull(FTobeAmount,0)) as FAmount from t_ReceivePayForm where FID = 1 group by FClientID) T2  on T1.FID = T2.FClientID set FLastInOuDateTime = now(),T1.FTotalAmount = IfNull(T1.FTotalAmount,0) + T2.FAmount * 1,T1.FUnPayAmount = (IfNull(T1.FTotalAmount,0) + T2.FAmount * 1) - IfNull(T1.FPayAmount,0);
select FBillTypeID from t_Account where FID = 1;
update t_comCash T3 Inner join t_Account T4 on T3.FID = T4.FCashID set T3.FBalance = IfNull(T3.FBalance,0) + IfNull(T4.FAmount,0) * 1 where T4.FID = 1;
update t_comClient T1 inner join  (select FCustomerID as FClientID,sum(IfNull(FReceiveAmount,0)) as FAmount from t_SaleForForm where FID = 1 group by FCustomerID) T2  on T1.FID = T2.FClientID set FLastInOuDateTime = now(),T1.FPayAmount = IfNull(T1.FPayAmount,0) + T2.FAmount * 1;
update t_comClient T1 inner join  (select FItemID as FClientID,sum(IfNull(FTobeAmount,0)) as FAmount from t_OtherOutInForm where FID = 1 group by FItemID) T2  on T1.FID = T2.FClientID set FLastInOuDateTime = now(),T1.FTotalAmount = IfNull(T1.FTotalAmount,0) + T2.FAmount * -1,T1.FUnPayAmount = (IfNull(T1.FTotalAmount,0) + T2.FAmount * -1) - IfNull(T1.FPayAmount,0);
update t_comProducts T1 inner join (select T1.FProductID as FProductID, SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T1.FInGainNumber,0)  ELSE IFNULL(T1.FInGainNumber,0) * IFNULL(T3.FRatio,0) END) AS FNumber  from t_inventorylist T1   left join t_comProductUnit T3 on T1.FProductID = T3.FProductID and T1.FUnitId = T3.FUnitID  where T1.FFormID = 1 group by T1.FProductID) T2     on T1.FID = T2.FProductID set T1.FCurStock = IfNull(T1.FCurStock,0) + T2.FNumber * 1;
update t_comCash T3 Inner join t_FeeForm T4 on T3.FID = T4.FCashID set T3.FBalance = IfNull(T3.FBalance,0) + IfNull(T4.FAmount,0) * -1 where T4.FID = 1;

-- @check saving a task's lines: the rows it has are updated in place, new ones inserted, gone ones deleted = 2|9.00000000|1|12.00000000
select FSID, FID from t_ProTaskList where FFormID = 1;
insert into t_ProTaskList(FID,FSID,FFormID,FProductID,FUnitID,FKFDate,FKFPeriod,FPeriodDate,FBatchNo1,FListDefined1,FListDefined2,FListDefined3,FNote,FSingleNumber,FNumber) values (9001,1,999,37,3,null,0,null,'B1',null,null,null,'a\'b',2,9),(9002,2,999,37,3,'2026-01-15',30,'2026-02-14',null,null,null,null,null,1,3) on duplicate key update FSID = values(FSID),FFormID = values(FFormID),FProductID = values(FProductID),FUnitID = values(FUnitID),FKFDate = values(FKFDate),FKFPeriod = values(FKFPeriod),FPeriodDate = values(FPeriodDate),FBatchNo1 = values(FBatchNo1),FListDefined1 = values(FListDefined1),FListDefined2 = values(FListDefined2),FListDefined3 = values(FListDefined3),FNote = values(FNote),FSingleNumber = values(FSingleNumber),FNumber = values(FNumber);
insert into t_ProTaskList(FID,FSID,FFormID,FNumber) values (9001,1,999,9),(9003,3,999,1) on duplicate key update FSID = values(FSID),FFormID = values(FFormID),FNumber = values(FNumber);
delete from t_ProTaskList where FFormID = 999 and FSID NOT IN(1,2);
select concat(count(*), '|', max(FNumber) + 0, '|', sum(FNote = 'a''b'), '|', sum(FNumber) + 0) from t_ProTaskList where FFormID = 999;

-- ===========================================================================
-- Field caption settings
-- ===========================================================================

-- @write seeding a missing caption row of the production task
select * from t_comFieldName where FFieldName ='R_FNote' and FBillTypeID = 3049;
select FID as FID from t_comfieldname order by FID desc limit 1 for update;
insert into t_comFieldName(FID, FBillTypeID, FFormOrListID, FBillTypeName,FFieldName, FDefaultName, FIsSystem, FSystemSID, FDefaultIsShow) values(9001,3050,1,'生产任务单','R_FNote','备注',0,210,1);

-- @query effective caption, visibility and order of one field
select case when IfNull(FSetName,'') = '' then FDefaultName else FSetName end as FSetname, case when ifnull(FIsShow,'')='' then FDefaultIsShow else FIsShow end as FIsShow, case when ifnull(FSID,'')='' then FSystemSID else FSID end as FSID from t_comFieldName where FBillTypeID = 3049 and FFieldName = 'R_FNumber';

-- @query the settings tree of one bill type and of all of them
select distinct Fbilltypeid,FbilltypeName,0 as parentID from  t_comfieldname where  Fbilltypeid not like '20%'  and Fbilltypeid=3049 order by Fbilltypeid;
select distinct Fbilltypeid,FbilltypeName,0 as parentID from  t_comfieldname where  Fbilltypeid not like '20%'  and Fbilltypeid not like '40%'  order by Fbilltypeid;

-- @query the master-data captions
select FID,FFieldName,case when IfNull(FSetName,'') = '' then FDefaultName else FSetName end as FSetname, FBillTypeID from t_comFieldName   where FBillTypeID=2003 or FBillTypeID=2004 or FBillTypeID=2005;

-- @check the caption settings' working copy: created, filled, edited and saved back = 用量|0|1|交期
DROP TABLE IF EXISTS `tmp_form`;
DROP TABLE IF EXISTS `tmp_List`;
CREATE temporary TABLE tmp_form ( FID int(11) NOT NULL, FBillTypeID int(11) NOT NULL, FFieldName varchar(200) NOT NULL, FSetName varchar(200) NULL, FIsChange int(11) NULL, PRIMARY KEY (`FBillTypeID`,`FFieldName`))ENGINE=MEMORY;
CREATE temporary TABLE tmp_list ( FID int(11) NOT NULL, FSID int(11) NOT NULL, FBillTypeID int(11) NOT NULL, FFieldName varchar(200) NOT NULL, FDefaultName varchar(200) NULL, FSetName varchar(200) NULL, FIsShow int(11) NULL, FDefaultIsShow int(11) NULL, FIsSystem int(11) NULL, FSystemSID int(11) NULL, FIsChange int(11) NULL, PRIMARY KEY (`FBillTypeID`,`FFieldName`))ENGINE=MEMORY;
select * from tmp_form  where  FBillTypeID='3049';
insert into tmp_form(FID,FBillTypeID,FFieldName,FSetName,FIsChange) select FID,FBillTypeID,FFieldName,case when IfNull(FSetName,'') = '' then FDefaultName else FSetName end as FSetname,0 from t_comFieldName where FFormOrListID = 0 and FBillTypeID = 3049;
select * from tmp_list where FBillTypeID='3049' order by FSID asc;
insert into tmp_list(FID,FBillTypeID,FFieldName,FSetName,FDefaultName,FIsShow,FSID,FIsSystem,FSystemSID,FDefaultIsShow,FIsChange) select FID,FBillTypeID,FFieldName,FSetName,FDefaultName,case when ifnull(FIsShow,'')='' then FDefaultIsShow else FIsShow end FIsShow,case when ifnull(FSID,'')='' then FSystemSID else FSID end FSID,FIsSystem,FSystemSID,FDefaultIsShow,0 from t_comFieldName where FFormOrListID = 1 and FBillTypeID = 3049;
select FSetName from tmp_form where FBillTypeID=3049 and FFieldName='FFormDefined2';
update tmp_form set FSetName='交期',FIsChange=1 where FBillTypeID=3049 and FFieldName='FFormDefined2';
update tmp_list set FSID=60,FSetName='用量',FIsShow=0,FIsChange=1 where FBillTypeID=3049 and FFieldName='R_FNumber';
update tmp_list set FIsChange=1,FSetName=null,FSID=FSystemSID,FIsShow=FDefaultIsShow where FBillTypeID=3002;
select * from tmp_form where FIsChange=1 ;
update  t_comfieldname set FSetName='交期' where FBillTypeID=3049 and FFieldName='FFormDefined2';
select * from tmp_list where FIsChange=1;
update  t_comfieldname set FSetName='用量' ,FSID=60 ,FIsShow=0 where FBillTypeID=3049 and FFieldName='R_FNumber';
select concat(FSetName,'|',FIsShow,'|',(select count(*) from tmp_list where FIsChange=1),'|',(select FSetName from t_comFieldName where FBillTypeID=3049 and FFieldName='FFormDefined2')) from t_comFieldName where FBillTypeID=3049 and FFieldName='R_FNumber';

-- @write a product caption renames the line column of every bill type; a customer caption its own field
update t_comFieldName set FSetName='规格型号' where FFieldName='FProductDefined1' or FFieldName='R_FProductDefined1';
update t_comFieldName set FSetName='开户银行' where FBillTypeID=2004 and FFieldName='FClientUserDefined1';

-- @write maintenance: the effective values of the reports become their defaults
update t_comfieldname  set FDefaultIsShow=case when ifnull(FIsShow,'')='' then FDefaultIsShow else FIsShow end,FDefaultName=case when ifnull(FSetName,'')='' then FDefaultName else FSetName end ,FSystemSID=case when ifnull(FSID,'')='' then FSystemSID else FSID end  where FbilltypeID>4000;
-- @check making the voucher of a checked task by the default template: work tables, rows, keys, number, marks = 1|1|2|100.00000000
DROP TABLE IF EXISTS `tmpTID`;
DROP TABLE IF EXISTS `tmpVoucher`;
insert into t_ProTaskForm(FID,FBillTypeID,FBillNo,FBillDate,FIsChecked,FAmount,FBillerID) values (9001,3049,'RWD@YM@99001','@MONTH_BEGIN@',1,90,1);
insert into t_ProTaskList(FID,FSID,FFormID,FAmount) values (9901,1,9001,60),(9902,2,9001,40);
Create temporary Table  tmpTID ( `FID1` int(11) NOT NULL AUTO_INCREMENT,  `FID` int(11) Null,  `FBillNo` varchar(50) null, `FBillDate` Date null , `FIsChecked` int(1) null,  `FFormTableName` varchar(50) null, `FVoucherID` int null default 0, `FDebitAmount` decimal(28,6) DEFAULT NULL,  `FCreditAmount` decimal(28,6) DEFAULT NULL,  `FTypeID` int(4) null,  PRIMARY KEY (`FID1`));
Create temporary Table  TmpVoucher  (  FID int(11) NOT NULL AUTO_INCREMENT,  FDate date DEFAULT NULL,  FYear int(11) DEFAULT NULL,  FVoucherTypeID int(11) DEFAULT NULL,  Fperiod int(11) DEFAULT NULL,  FGroupID int(11) DEFAULT NULL,  Fnumber int(11) DEFAULT NULL,  Fnote varchar(255) DEFAULT NULL,  FAttachmentNumber int(11) DEFAULT NULL,  FSID int(11) DEFAULT NULL,  FListCount int(11) DEFAULT NULL,  FDebitAmount decimal(28,6) DEFAULT NULL,  FCreditAmount decimal(28,6) DEFAULT NULL,  FBillerID int(11) DEFAULT NULL,  FBillDate datetime DEFAULT NULL,  FCheckerID int(11) DEFAULT NULL,  FIsChecked bit(1) DEFAULT NULL,  FCheckerDate datetime DEFAULT NULL,  FPostID int(11) DEFAULT NULL,  FIsPost bit(1) DEFAULT NULL,  FPostDate datetime DEFAULT NULL,  FApproveID int(11) DEFAULT NULL,  FFromBillTypeID int(11) DEFAULT NULL,  FFromBillID int(11) DEFAULT NULL,  FFromBillNo varchar(50) DEFAULT NULL,  FIsCloseAcc int(1) DEFAULT NULL,  FIsBillCreate int(1) DEFAULT NULL,  FIsCustomer int(1) DEFAULT NULL,  FIsSupplier int(1) DEFAULT NULL,  FIsDept int(1) DEFAULT NULL,  FIsEmployee int(1) DEFAULT NULL,  FFormFID int(11) DEFAULT NULL,  FListFID int(11) DEFAULT NULL,  FListSID int(11) DEFAULT NULL,  FListNote varchar(500) DEFAULT NULL,  FListAccountID int(11) DEFAULT NULL,  FListDC int(1) DEFAULT NULL,  FListDebitAmount decimal(28,6) DEFAULT NULL,  FListCreditAmount decimal(28,6) DEFAULT NULL,  FListCustomerID int(11) DEFAULT NULL,  FListSupplierID int(11) DEFAULT NULL,  FListDeptID int(11) DEFAULT NULL,  FListEmployeeID int(11) DEFAULT NULL,  FListCurrencyId int(11) DEFAULT NULL,   FVoucherID int null , FTotalTypeID int null,  FTypeID int null,  PRIMARY KEY (`FID`));
delete from `tmpTID`;
delete from `tmpVoucher`;
insert into tmpTID(FID,FTypeID ) values (9001,100);
update tmpTID T1 inner join t_ProTaskForm T2  on T1.FID = T2.FID  set T1.FBillNo = T2.FBillNo, T1.FBillDate = T2.FBillDate,     T1.FIsChecked = T2.FIsChecked ;
update tmpTID T1 inner join t_ProTaskForm T2  on T1.FID = T2.FID  set T1.FTypeID = 1  where IfNull(T2.FIsChecked,0) = 0;
update tmpTID T1 inner join t_ProTaskForm T2  on T1.FID = T2.FID  set T1.FTypeID = 2  where IfNull(T2.FIsChecked,0) = 1 and IfNull(T2.FIsCreateVoucher,0) = 1 ;
update tmpTID T1 inner join t_ProTaskForm T2  on T1.FID = T2.FID  set T1.FTypeID = 0  where IfNull(T2.FIsChecked,0) = 1 and IfNull(T2.FIsCreateVoucher,0) = 0 ;
update tmpTID T1 inner join t_ProTaskForm T2  on T1.FID = T2.FID  set T1.FTypeID = 4  where IfNull(T1.FTypeID,0) = 0 and T2.FBillDate < '2000-01-31';
select * from t_comparameters where FName = 'FAccCloseDate';
SELECT * FROM T_VoucherModelForm  WHERE FIsDefault = 1 and FBillTypeID = 3049;
select * from T_VoucherModelList   where FFormID = 1;
INSERT INTO TmpVoucher(FDate,FYear,Fperiod,FVoucherTypeID,Fnumber,Fnote, FAttachmentNumber,FSID,FListCount,FDebitAmount,FCreditAmount,FBillerID,  FBillDate,FCheckerID,FIsChecked,FCheckerDate,FPostID,FIsPost,FPostDate,  FApproveID,FFromBillTypeID,FFromBillID,FFromBillNo,FIsCloseAcc,FIsBillCreate,   FListSID,FListNote,FListAccountID,FListDC, FIsCustomer,FIsSupplier,FIsDept,FIsEmployee) SELECT TT2.FBillDate,YEAR(TT2.FBillDate) AS FYear, MONTH(TT2.FBillDate) AS FPeriod,    1 AS FVoucherTypeID, NULL AS FNumber,TT1.FNote,    0 AS FAttachmentNumber, 0 AS FSID,0,NULL,NULL, 1,   DATE(NOW()), 0 AS FCheckerID, 0, NULL, 0 AS FPostId,0,NULL,   -1 AS FApproveID, TT1.FBillTypeID,TT2.FID AS FFromBillID, TT2.FBillNo,0, 1 AS FIsBillcreate,    TT1.FSID,TT1.FNote,TT1.FAccountID,TT1.FCR,    TT1.FIsCustomer,TT1.FIsSupplier,TT1.FIsDept,TT1.FIsEmployee  FROM (  SELECT T1.FID,T1.FBillTypeID,T1.FVoucherGroup,T2.FSID,T2.FNote,T2.FAccountID, case when T2.FCR = '借' then -1 when T2.FCR = '贷' then 1 end as FCR, T2.FAmountFromFieldName,T2.FFormula,T3.FFromTableName,T3.FListTableName,T3.FFormOrList,     T4.FIsCustomer,T4.FIsSupplier,T4.FIsDept,T4.FIsEmployee  FROM t_vouchermodelform T1 LEFT JOIN t_vouchermodelList T2  ON T1.FID = T2.FFormID  LEFT JOIN (SELECT FBillTypeID,FFromTableName,FListTableName,FFormOrList,   FAmountFromFieldCNName,FAmountFromFieldName FROM t_vouchermodelfield WHERE FBillTypeID = 3049) T3   ON T1.FBillTypeID = T3.FBillTypeID AND T2.FAmountFromFieldName = T3.FAmountFromFieldName  AND T2.FAmountFromFieldCNName = T3.FAmountFromFieldCNName   LEFT JOIN t_voucheraccount T4 ON T2.FAccountID = T4.FID  WHERE T1.FID = 1 ) TT1, t_ProTaskForm TT2,  tmpTID TT3  WHERE TT2.FID = TT3.FID and IfNull(TT3.FTypeID,0) = 0  and TT2.FID IN (9001);
update TmpVoucher TT1 inner join (     select T1.FID,  sum(IfNull(T2.FAmount,0)) as FAmount  from t_ProTaskForm T1      left join t_ProTaskList T2 on T1.FID = T2.FFormID      where T1.FID in( 9001)  group by T1.FID ) TT2    on TT1.FFromBillID = TT2.FID  set TT1.FListDebitAmount = TT2.FAmount,      TT1.FListCreditAmount = TT2.FAmount  where TT1.FListSID = 1;
update TmpVoucher TT1 inner join (     select T1.FID,  sum(IfNull(T2.FAmount,0)) as FAmount  from t_ProTaskForm T1      left join t_ProTaskList T2 on T1.FID = T2.FFormID      where T1.FID in( 9001)  group by T1.FID ) TT2    on TT1.FFromBillID = TT2.FID  set TT1.FListDebitAmount = TT2.FAmount,      TT1.FListCreditAmount = TT2.FAmount  where TT1.FListSID = 2;
update TmpVoucher TT1 inner join (     select T1.FID,  sum(IfNull(T1.FAmount,0)) as FAmount  from t_ProTaskForm T1      where T1.FID in( 9001)  group by T1.FID ) TT2    on TT1.FFromBillID = TT2.FID  set TT1.FListDebitAmount = TT2.FAmount,      TT1.FListCreditAmount = TT2.FAmount  where TT1.FListSID = 99;
update TmpVoucher T1 inner join t_ProTaskForm T2  on T1.FFromBillID = T2.FID  set T1.FListEmployeeID = IfNull(T2.FBillerID,0) where T1.FListSID = 99;
update TmpVoucher T1 inner join t_ProTaskForm T2  on T1.FFromBillID = T2.FID  set T1.FListSupplierID = IfNull(T2.FClientID,0) where T1.FListSID = 99;
update TmpVoucher set FListCreditAmount = null where FListDC = -1 ;
update TmpVoucher set FListDebitAmount = null where FListDC = 1 ;
update TmpVoucher Set FTypeID = 11 where IfNull(FIsEmployee,0) = 1 and IfNull(FListEmployeeID,0) = 0;
update TmpVoucher Set FTypeID = 12 where IfNull(FIsDept,0) = 1 and IfNull(FListDeptID,0) = 0;
update TmpVoucher Set FTypeID = 13 where IfNull(FIsSupplier,0) = 1 and IfNull(FListSupplierID,0) = 0;
update TmpVoucher Set FTypeID = 14 where IfNull(FIsCustomer,0) = 1 and IfNull(FListCustomerID,0) = 0;
update TmpVoucher Set FTypeID = 20  where IfNull(FListDebitAmount,0) = 0 and IfNull(FListCreditAmount,0) = 0 and IfNull(FTypeID,0) = 0 ;
SELECT FFromBillID,  SUM(FListDebitAmount) AS FListDebitAmount, SUM(FListCreditAmount) AS FListCreditAmount  FROM TmpVoucher  GROUP BY FFromBillID  HAVING SUM(FListDebitAmount) <>  SUM(FListCreditAmount) ;
update TmpVoucher set FTypeID = 21 where IfNull(FTypeID,0) = 0 and FFromBillID In (-1);
update tmpTID T1 inner join (select FFromBillID, sum(FListDebitAmount) as FDebitAmount, sum(FListCreditAmount) as FCreditAmount  from tmpVoucher where IfNull(FTypeID,0) = 0 group by FFromBillID ) T2 on T1.FID = T2.FFromBillID  set T1.FDebitAmount = T2.FDebitAmount, T1.FCreditAmount = T2.FCreditAmount ;
update tmpVoucher T1 inner join tmpTID T2 on T1.FFromBillID = T2.FID  set T1.FDebitAmount = T2.FDebitAmount, T1.FCreditAmount = T2.FCreditAmount  where IfNull(T1.FTypeID,0) = 0 ;
select FFromBillID from TmpVoucher where IfNull(FTypeID,0) <> 0 group by FFromBillID;
Update TmpVoucher set FTotalTypeID = 1 where FFromBillID  in (-1) ;
select FFromBillID from TmpVoucher where IfNull(FTotalTypeID,0) = 0  group by FFromBillID order by FBillDate, FFromBillNo ;
select count(distinct FFromBillID) as FCount from TmpVoucher where IfNull(FTotalTypeID,0) = 1;
select count(*) as FCount from tmpTID where IfNull(FTypeID,0) <> 0;
select FID from tmpTID where FTypeID = 100 order by FID1;
select FBillNo from tmpTID where FTypeID = 1 order by FID1;
select FFromBillNo from TmpVoucher where FTypeID = 11 group by FFromBillNo order by FFromBillNo;
select FID as FID from t_voucherForm order by FID desc limit 1 for update;
select FID as FID from t_voucherList order by FID desc limit 1 for update;
select FBillDate from tmpVoucher where FFromBillID = 9001;
select Max(IfNull(FSID,0)) as FID from t_voucherForm where FYear = '2026' and FPeriod = '12' for update;
select Max(IfNull(Fnumber,0)) as FID from t_voucherForm where FYear = '2026' and FPeriod = '12' for update;
update tmpVoucher set FFormFID = 999001,FFromBillTypeID = 3049,FVoucherTypeID = 1,FYear = '2026',FPeriod = '12',Fnumber = 9001,FAttachmentNumber = 0,FSID = 9001,FBillerID = 1,FBillDate = DATE(NOW()) where FFromBillID = 9001;
update tmpVoucher set FListFID = IfNull(FID,0) + IfNull(999000,0);
update tmpVoucher T1 inner join t_BillType T2 on T1.FFromBillTypeID = T2.FBillTypeID  set T1.FListNote = CONCAT(T2.FBillName,'_', T1.FFromBillNo) ;
insert into t_VoucherForm(FID,FDate,Fyear,FVoucherTypeID,FPeriod,FNumber,FAttachmentNumber,FSID,FDebitAmount,FCreditAmount,FBillerID,FBilldate,FIsBillcreate,FFromBillTypeID,FFromBillID,FFromBillNo, FIsChecked,FIsPost,FIsCloseAcc)  select FFormFID,FDate,Fyear,FVoucherTypeID,FPeriod,FNumber,FAttachmentNumber,   FSID,FDebitAmount,FCreditAmount,FBillerID,FBilldate,1 ,FFromBillTypeID,FFromBillID,FFromBillNo,0,0,0  from tmpVoucher where IfNull(FTotalTypeID,0) = 0  group by FFormFID,FDate,Fyear,FVoucherTypeID,FPeriod,FNumber,FAttachmentNumber,   FSID,FDebitAmount,FCreditAmount,FBillerID,FBilldate,FFromBillTypeID,FFromBillID,FFromBillNo;
 insert into t_voucherList(FID,FFormID,FSID,FNote,FAccountID,FDC,FDebitAmount,FCreditAmount,FCustomerID,FSupplierID,FDeptID,FEmployeeID,FDebitAmountFor,FCreditAmountFor) select FListFID,FFormFID,FListSID,FListNote,FListAccountID,FListDC,FListDebitAmount,FListCreditAmount,    FListCustomerID,FListSupplierID,FListDeptID,FListEmployeeID,FListDebitAmount,FListCreditAmount  from tmpVoucher where IfNull(FTotalTypeID,0) = 0 ;
update t_ProTaskForm T1 inner join tmpVoucher T2 on T1.FID = T2.FFromBillID  set T1.FVoucherID = T2.FFormFID, T1.FIsCreateVoucher = 1  where IfNull(T2.FTotalTypeID,0) = 0;
select count(*) as FCount from t_ProTaskForm where FID in (9001) and IfNull(FIsCreateVoucher,0) = 1;
DROP TABLE IF EXISTS `tmpTID`;
DROP TABLE IF EXISTS `tmpVoucher`;
select concat(F.FIsCreateVoucher, '|', (select count(*) from t_VoucherForm V where V.FID = F.FVoucherID and V.FNumber = 9001), '|', (select count(*) from t_voucherList L where L.FFormID = F.FVoucherID and L.FNote = concat('生产任务单_', F.FBillNo)), '|', (select FDebitAmount from t_VoucherForm where FID = F.FVoucherID)) from t_ProTaskForm F where F.FID = 9001;
